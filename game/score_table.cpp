// The score table's rules and its text form. Times are converted with the civil-calendar
// arithmetic of proleptic Gregorian dates, so that no C library time zone is involved.
#include "game/score_table.h"

#include <cstdio>
#include <cstring>

static bool PlacesBefore(const ScoreEntry& entry, const ScoreEntry& other)
{
    return entry.score > other.score || (entry.score == other.score && entry.finished < other.finished);
}

int EnterScore(ScoreTable* table, const ScoreEntry& entry)
{
    int place = 0;
    while (place < table->count && !PlacesBefore(entry, table->entries[place]))
        place++;
    if (place >= SCORE_PLACES)
        return -1;
    const int kept = table->count < SCORE_PLACES ? table->count : SCORE_PLACES - 1;
    for (int i = kept; i > place; i--)
        table->entries[i] = table->entries[i - 1];
    table->entries[place] = entry;
    table->count = kept + 1;
    return place;
}

void SetPlayerName(ScoreEntry* entry, const char* name)
{
    size_t length = std::strlen(name);
    if (length >= PLAYER_NAME_BYTES) {
        length = PLAYER_NAME_BYTES - 1;
        while (length > 0 && (uint8_t(name[length]) & 0xC0) == 0x80)
            length--;  // not inside a character
    }
    for (size_t i = 0; i < length; i++)
        entry->name[i] = name[i] == '\t' || name[i] == '\n' || name[i] == '\r' ? ' ' : name[i];
    entry->name[length] = '\0';
}

// Days since 1970-01-01 of a date, and back.
static int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day)
{
    year -= month <= 2;
    const int64_t era = year / 400, of_era = year - era * 400;
    const int64_t of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + (of_era * 365 + of_era / 4 - of_era / 100 + of_year) - 719468;
}

static void CivilFromDays(int64_t days, int64_t* year, int* month, int* day)
{
    days += 719468;
    const int64_t era = days / 146097, of_era = days - era * 146097;
    const int64_t year_of_era = (of_era - of_era / 1460 + of_era / 36524 - of_era / 146096) / 365;
    const int64_t of_year = of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t shifted_month = (5 * of_year + 2) / 153;
    *day = int(of_year - (153 * shifted_month + 2) / 5 + 1);
    *month = int(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    *year = year_of_era + era * 400 + (*month <= 2);
}

static const int64_t last_second = 253402300799;  // 9999-12-31T23:59:59Z

bool FormatUtcTime(int64_t seconds, char out[21])
{
    if (seconds < 0 || seconds > last_second)
        return false;
    int64_t year;
    int month, day;
    CivilFromDays(seconds / 86400, &year, &month, &day);
    const int64_t of_day = seconds % 86400;
    std::snprintf(out, 21, "%04d-%02d-%02dT%02d:%02d:%02dZ", int(year), month, day, int(of_day / 3600),
                  int(of_day / 60 % 60), int(of_day % 60));
    return true;
}

void WriteScoreText(const ScoreTable& table, std::string* text)
{
    char line[64 + PLAYER_NAME_BYTES];
    std::snprintf(line, sizeof line, "blockfall scores %d\n", SCORE_FILE_VERSION);
    text->assign(line);
    for (int i = 0; i < table.count; i++) {
        const ScoreEntry& entry = table.entries[i];
        char when[21] = "1970-01-01T00:00:00Z";
        FormatUtcTime(entry.finished, when);
        std::snprintf(line, sizeof line, "%d\t%d\t%d\t%s\t%s\n", entry.score, entry.lines, entry.level, when,
                      entry.name);
        text->append(line);
    }
}

// Reading works on the text in place: a game's frame may read the table, and allocates nothing.
struct Span {
    const char* begin;
    const char* end;
    size_t size() const { return size_t(end - begin); }
};

// A field of digits alone, no sign, as the table writes it.
static bool ReadCount(Span field, int32_t* value)
{
    if (field.size() == 0 || field.size() > 10)
        return false;
    int64_t parsed = 0;
    for (const char* c = field.begin; c < field.end; c++) {
        if (*c < '0' || *c > '9')
            return false;
        parsed = parsed * 10 + (*c - '0');
    }
    *value = int32_t(parsed);
    return parsed <= INT32_MAX;
}

static bool ReadUtcTime(Span field, int64_t* seconds)
{
    char copy[21];
    int year, month, day, hour, minute, second, used = 0;
    if (field.size() != 20)
        return false;
    std::memcpy(copy, field.begin, 20);
    copy[20] = '\0';
    if (std::sscanf(copy, "%4d-%2d-%2dT%2d:%2d:%2dZ%n", &year, &month, &day, &hour, &minute, &second, &used) != 6 ||
        used != 20 || copy[4] != '-' || copy[7] != '-' || copy[10] != 'T')
        return false;
    if (year < 1970 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
        return false;
    int64_t check_year;
    int check_month, check_day;
    const int64_t days = DaysFromCivil(year, month, day);
    CivilFromDays(days, &check_year, &check_month, &check_day);
    *seconds = days * 86400 + hour * 3600 + minute * 60 + second;
    return check_month == month && check_day == day;  // no 31st of April
}

// One game's line, without its line break.
static bool ReadEntry(Span line, ScoreEntry* entry)
{
    Span fields[5];
    const char* start = line.begin;
    for (int i = 0; i < 5; i++) {
        const char* tab = start;
        while (tab < line.end && *tab != '\t')
            tab++;
        if (i < 4 && tab == line.end)
            return false;
        fields[i] = {start, i < 4 ? tab : line.end};
        start = tab + 1;
    }
    const Span name = fields[4];
    if (name.size() >= PLAYER_NAME_BYTES || std::memchr(name.begin, '\t', name.size()))
        return false;
    *entry = ScoreEntry{};
    std::memcpy(entry->name, name.begin, name.size());
    return ReadCount(fields[0], &entry->score) && ReadCount(fields[1], &entry->lines) &&
           ReadCount(fields[2], &entry->level) && ReadUtcTime(fields[3], &entry->finished);
}

ScoreTextResult ReadScoreText(const std::string& text, ScoreTable* table)
{
    *table = ScoreTable{};
    static const char heading[] = "blockfall scores ";
    const size_t heading_size = sizeof heading - 1;
    const char* end = text.data() + text.size();
    const char* at = text.data() + heading_size;
    if (text.compare(0, heading_size, heading) != 0)
        return SCORE_TEXT_DAMAGED;
    int64_t version = 0;
    const char* digits = at;
    for (; at < end && *at >= '0' && *at <= '9' && at - digits < 6; at++)
        version = version * 10 + (*at - '0');
    if (at == digits || at == end || *at != '\n' || version < 1 || (*digits == '0'))
        return SCORE_TEXT_DAMAGED;
    if (version > SCORE_FILE_VERSION)
        return SCORE_TEXT_FUTURE;
    ScoreTable read = {};
    // Every line ends with its break: a file cut short loses it and is refused.
    for (const char* start = at + 1; start < end;) {
        const char* line_end = static_cast<const char*>(std::memchr(start, '\n', size_t(end - start)));
        ScoreEntry entry;
        if (!line_end || read.count == SCORE_PLACES || !ReadEntry({start, line_end}, &entry))
            return SCORE_TEXT_DAMAGED;
        EnterScore(&read, entry);  // a table put in another order by hand is put back in order
        start = line_end + 1;
    }
    *table = read;
    return SCORE_TEXT_READ;
}
