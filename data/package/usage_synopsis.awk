# Rewrites the usage lines at the top of a program's --help into the form help2man takes as the
# manual page's SYNOPSIS ("Usage: PROG ..." with the wrapped options joined, "or: PROG ..." for
# each further form); the rest of the text passes unchanged.
NR == 1 && sub(/^usage: /, "Usage: ") { usage = $0; next }
usage != "" && /^ +\[/ { sub(/^ +/, " "); usage = usage $0; next }
usage != "" && /^ +[a-z][a-z-]* / { sub(/^ +/, "  or: "); print usage; usage = $0; next }
usage != "" { print usage; usage = "" }
{ print }
END { if (usage != "") print usage }
