# The full-screen question where the display lacks 640x480: No closes the game with a
# message, Yes plays in a window; where no box can be drawn, the question and the
# answer taken go to stderr.
. "$(dirname "$0")/../lib/e2e.bash" "$@"
PrepareProbes
StartXvfb window 1024x768  # without 640x480: full screen asks first
StartXvfb nofont 1024x768 -fp built-ins  # no font to draw a box with
export DISPLAY=$window

mode="no option: the full-screen question answered No, closing with exit code 1"
StartGame "$work" "$game"
Answer Escape
WaitFor Box ERROR || Fail "no closing message"
! GameWindow || Fail "a game window came up"
xdotool key --window "$(Box ERROR)" Return
AwaitExit 1

# Yes, with the data/ here (found before the one beside the game) lacking a picture, and
# with a sound device that will not open: the game plays without them, silently.
mode="--window --fullscreen: the question answered Yes; no border picture; no sound"
cp -r data "$work/" && rm "$work/data/border.bmp"
StartGame "$work" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent/sound.raw "$game" --window --fullscreen
Answer Return
AwaitBoard white
Texts && Piece && Hold Down LandedAtLeast 4 || Fail "the game does not run"
Quit

DISPLAY=$nofont mode="no box to ask in: Yes taken, and said on stderr"
mkdir "$work/elsewhere"
StartGame "$work/elsewhere" "$game"
AwaitBoard
said=$'Tarn GL: The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?'
said+=$'\nTarn GL: no box can be shown; taking Yes'
Quit
