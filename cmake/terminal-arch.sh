#!/bin/sh
# Prints the terminal's processor family: i686 where this host runs 32-bit
# Wine, x86_64 where its kernel cannot execute 32-bit programs at all.
if [ -n "${TERMINAL_ARCH:-}" ]; then
    echo "$TERMINAL_ARCH"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
else
    echo x86_64
fi
