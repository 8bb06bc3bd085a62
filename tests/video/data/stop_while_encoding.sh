#!/bin/bash
# Starts a long video render, waits until the encoder has its temporary file open, stops the render
# with the signal $1 and prints how it ended ("stopped 143" for TERM, "stopped 137" for KILL).
# An unnamed temporary file shows among the process's open files as "FOLDER/#INODE (deleted)".
"$ORVEX360" render empty -c panorama -s 64x32 --samples 1 --frames 0-1000000 -o film.mp4 >/dev/null 2>&1 &
render=$!
for _ in $(seq 600); do
  ls -l "/proc/$render/fd" 2>/dev/null | grep -q -e '(deleted)' -e '\.orvex360-' && break
  sleep 0.1
done
kill "-$1" "$render"
wait "$render"
echo "stopped $?"
