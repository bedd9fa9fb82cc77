#!/bin/sh
# SPDX-License-Identifier: MIT
# Starts the installed program from its own folder, where its help file lives.
here="$(dirname "$(readlink -f "$0")")"
exec "$here/../lib/glossek/glossek" "$@"
