#!/bin/bash
# Runs the command as the user nobody when run as root (whom no file permission stops), else as is.
if [[ $(id -u) == 0 ]]; then
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
fi
exec "$@"
