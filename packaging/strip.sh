#!/bin/sh
# Strips a packaged program as Debian's dh_strip does: besides the symbols, the compiler's
# .comment and .note sections, which the installed program has no use for.
exec strip --remove-section=.comment --remove-section=.note "$@"
