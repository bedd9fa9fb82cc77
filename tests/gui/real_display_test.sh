#!/usr/bin/env bash
# Drives the program in a real X server, as a user would with the keyboard: File, Input,
# Go with F2, the overwrite question, the switch to French; then an installed copy that
# cannot write its own folder keeps the language in the user's settings folder.
# Usage: real_display_test.sh BUILD_DIR SOURCE_DIR [ARTEFACTS_DIR]
set -uo pipefail
build="$1"
source="$2"
artefacts="${3:-$build/artefacts}"
mkdir -p "$artefacts"
for tool in xvfb-run xdotool import iconv runuser; do
    command -v "$tool" >/dev/null || { echo "$tool is missing"; exit 1; }
done

work="$(mktemp -d)"
chmod 777 "$work"  # the installed program runs as nobody and writes its results here
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

# A copy of the program in a folder of its own, so that its language file is the test's.
mkdir -p "$work/prog" "$work/docs"
cp "$build/glossek" "$build/GLK32.HLP" "$work/prog/"
cp "$source/samples/lettre.txt" "$source/samples/sans-accents.glk" "$work/docs/"
printf 'old output\r\n' >"$work/docs/lettre.cvt.txt"
export GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252

# The steps run inside the X server: FUNCTION is one of the scenarios below.
cat >"$work/scenario.sh" <<'SCENARIO'
#!/usr/bin/env bash
set -u
work="$1"; artefacts="$2"; scenario="$3"; shift 3
"$@" &
pid=$!
window=""
for _ in $(seq 1 50); do
    window="$(xdotool search --onlyvisible --name 'Glossek' 2>/dev/null | head -1)"
    [[ -n "$window" ]] && break
    sleep 0.2
done
[[ -z "$window" ]] && { echo "no window"; kill "$pid"; exit 1; }
focus() { xdotool windowfocus --sync "$window" 2>/dev/null; sleep 0.3; }
keys() { focus; xdotool key --delay 80 "$@"; sleep 0.6; }
title() { xdotool getwindowname "$window" >"$work/title.$1"; }
sleep 0.5
case "$scenario" in
    convert)
        keys ctrl+F12                          # File, Input: the open dialog
        xdotool type --delay 20 "$work/docs/lettre.txt"
        xdotool key Return; sleep 0.8
        keys F2                                # Go: the output exists, so a question
        import -window root "$artefacts/overwrite-question.png"
        xdotool key alt+y; sleep 0.8           # Yes
        xdotool key Return; sleep 0.5          # the end message
        import -window root "$artefacts/general-data.png"
        keys alt+o Right Down Return           # Options, Language, French
        title french
        import -window root "$artefacts/general-data-fr.png"
        keys ctrl+a
        import -window root "$artefacts/table-editor-fr.png"
        ;;
    table)
        keys ctrl+a
        import -window root "$artefacts/table-editor.png"
        ;;
    french)
        keys alt+o Right Down Return
        title switched
        ;;
    restart)
        title restarted
        ;;
esac
kill "$pid"
wait "$pid" 2>/dev/null
exit 0
SCENARIO
chmod 755 "$work/scenario.sh"

in_x() {  # in_x [runuser args] -- SCENARIO PROGRAM ARGS...
    timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -ac" "$@" >/dev/null 2>&1
}

in_x "$work/scenario.sh" "$work" "$artefacts" convert "$work/prog/glossek"
iconv -f CP850 -t CP1252 "$work/docs/lettre.txt" >"$work/expected.txt"
check "converted through the window" cmp -s "$work/docs/lettre.cvt.txt" "$work/expected.txt"
check "French captions" grep -q "Données principales" "$work/title.french"
check "French kept beside the program" cmp -s "$work/prog/GLK32.LNG" <(printf 'FR\r\n')
check "input untouched" cmp -s "$work/docs/lettre.txt" "$source/samples/lettre.txt"

rm -f "$work/prog/GLK32.LNG"
in_x "$work/scenario.sh" "$work" "$artefacts" table "$work/prog/glossek" \
    "$work/docs/lettre.txt" "$work/docs/out.txt" "A$work/docs/sans-accents.glk"
check "table editor shown" test -s "$artefacts/table-editor.png"

# Installed where the user cannot write: the language goes to the settings folder.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
mkdir -p "$work/config"
chown nobody "$work/config"
as_nobody=(runuser -u nobody -- env XDG_CONFIG_HOME="$work/config" HOME=/nonexistent
           GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252)
in_x "${as_nobody[@]}" "$work/scenario.sh" "$work" "$artefacts" french "$work/prefix/bin/glossek"
in_x "${as_nobody[@]}" "$work/scenario.sh" "$work" "$artefacts" restart "$work/prefix/bin/glossek"
check "installed: switched to French" grep -q "Données principales" "$work/title.switched"
check "installed: French at the next start" grep -q "Données principales" "$work/title.restarted"
check "installed: language in the settings folder" \
    cmp -s "$work/config/glossek/GLK32.LNG" <(printf 'FR\r\n')
check "installed: program folder untouched" test ! -e "$work/prefix/lib/glossek/GLK32.LNG"
check "installed: desktop entry" test -f "$work/prefix/share/applications/glossek.desktop"
check "installed: icon" test -f "$work/prefix/share/icons/hicolor/scalable/apps/glossek.svg"

finish
