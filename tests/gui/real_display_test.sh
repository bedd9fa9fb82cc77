#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program in an X server under a window manager (openbox), driven with the keyboard
# and the mouse, its windows read through the accessibility bus (real_display.py): English,
# French, stretched and small. Then an installed copy that cannot write its own folder keeps
# the language in the user's settings folder. Screenshots go to ARTEFACTS_DIR.
# Skips, without failing, when no X server can be started.
# Usage: real_display_test.sh BUILD_DIR SOURCE_DIR [ARTEFACTS_DIR]
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../app/checks.sh"
build="$1"
source="$2"
artefacts="${3:-$build/artefacts}"
mkdir -p "$artefacts"

python=/usr/bin/python3  # the system's, which has the accessibility bindings
for tool in xvfb-run openbox dbus-run-session xdotool import iconv runuser; do
    command -v "$tool" >/dev/null || { skip "no $tool: nothing to show windows on"; finish; exit 0; }
done
"$python" -c 'import pyatspi' 2>/dev/null || { skip "no python3-pyatspi"; finish; exit 0; }

chmod 777 "$work"  # the installed program runs as nobody and writes its results here

# A copy of the program in a folder of its own, so that its language file is the test's.
mkdir -p "$work/prog" "$work/docs"
cp "$build/glossek" "$build/glossek-window" "$build/GLK32.HLP" "$work/prog/"
cp "$source/samples/lettre.txt" "$source/samples/sans-accents.glk" "$work/docs/"
printf 'old output\r\n' >"$work/docs/lettre.cvt.txt"
export GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252
GLOSSEK_TEST_VERSION="$("$build/glossek" --version | sed 's/^glossek //')"
export GLOSSEK_TEST_VERSION

# One scenario in a fresh X server with its window manager and session bus.
in_x() {  # in_x [COMMAND PREFIX...] :: SCENARIO WORK ARTEFACTS PROGRAM
    local prefix=()
    while [[ "$1" != :: ]]; do prefix+=("$1"); shift; done
    shift
    timeout 240 "${prefix[@]}" dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
        bash -c 'openbox >/dev/null 2>&1 & sleep 0.7
                 "$0" "$1" "$2" "$3" "$4" "$5"; status=$?; kill %1; exit $status' \
        "$python" "$here/real_display.py" "$@" 2>"$work/stderr"
}

# Can an X server start here at all?
if ! timeout 30 xvfb-run -a -s "-screen 0 1024x768x24" true >/dev/null 2>&1; then
    skip "no X server could be started"
    finish
    exit 0
fi

run_scenario() {  # run_scenario SCENARIO PROGRAM [runuser args]
    local scenario="$1" program="$2"
    shift 2
    local output
    output="$(in_x "$@" :: "$scenario" "$work" "$artefacts" "$program")"
    printf '%s\n' "$output" | sed "s/^/[$scenario] /"
    check "$scenario: every check of the scenario" bash -c "! grep -q '^FAILED' <<<\"\$0\"" "$output"
    check "$scenario: the scenario ran" bash -c "grep -q '^ok' <<<\"\$0\"" "$output"
}

run_scenario english "$work/prog/glossek"
iconv -f CP850 -t CP1252 "$work/docs/lettre.txt" >"$work/expected.txt"
check "converted through the window" cmp -s "$work/docs/lettre.cvt.txt" "$work/expected.txt"
check "input untouched" cmp -s "$work/docs/lettre.txt" "$source/samples/lettre.txt"
check "code pages kept beside the program" cmp -s "$work/prog/GLK32.CP" <(printf '852 1252\r\n')
rm -f "$work/prog/GLK32.CP"

run_scenario french "$work/prog/glossek"
check "French kept beside the program" cmp -s "$work/prog/GLK32.LNG" <(printf 'FR\r\n')

# Installed where the user cannot write: the language goes to the settings folder.
cmake --install "$build" --prefix "$work/prefix" >/dev/null
mkdir -p "$work/config"
chown nobody "$work/config"
as_nobody=(runuser -u nobody -- env XDG_CONFIG_HOME="$work/config" HOME=/nonexistent
           GLOSSEK_OEMCP=850 GLOSSEK_ANSICP=1252)
in_x "${as_nobody[@]}" :: title.switched "$work" "$artefacts" "$work/prefix/bin/glossek" >/dev/null
in_x "${as_nobody[@]}" :: title.restarted "$work" "$artefacts" "$work/prefix/bin/glossek" >/dev/null
check "installed: switched to French" grep -q "Données principales" "$work/title.switched"
check "installed: French at the next start" grep -q "Données principales" "$work/title.restarted"
check "installed: language in the settings folder" \
    cmp -s "$work/config/glossek/GLK32.LNG" <(printf 'FR\r\n')
check "installed: program folder untouched" test ! -e "$work/prefix/lib/glossek/GLK32.LNG"

finish
