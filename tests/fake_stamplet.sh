#!/bin/sh
# Stands in for Stamplet in the engine's tests: appends its arguments, each in brackets, and a
# line end to the file named by STAMPLET_LOG, and reports success the way Stamplet does.
for arg in "$@"; do
    printf '[%s]' "$arg" >> "$STAMPLET_LOG"
done
printf '\n' >> "$STAMPLET_LOG"
echo "File x date/time changed succesfully"
