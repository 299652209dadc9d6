#!/usr/bin/env bash
# Stops the test servers a Windows test program left running under FOLDER (it stops its own
# when it ends normally; one that died could not) and removes the folder. Run natively by ctest
# before and after each test program that starts a server (TestServerWindows.cpp).
# Usage: tests/windows/servidores-teste.sh FOLDER
set -u
pasta=$1
for arquivo in "$pasta"/*/mariadbd.pid; do
    [ -f "$arquivo" ] || continue
    pid=$(cat "$arquivo")
    # Only a server still running: the number may since belong to another program.
    if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "^mariadbd .*$pasta"; then
        kill -KILL "$pid"
    fi
done
rm -rf "$pasta"
