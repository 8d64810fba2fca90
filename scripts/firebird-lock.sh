# Sourced by the scripts that open databases with Firebird's embedded engine.
# The engine keeps its lock files in /tmp/firebird, which only root and the
# firebird group may write; anyone else gets a lock folder of their own, so
# that every process of one run (the scripts, the tests, the program) shares
# it; db/create-database makes the same choice. A FIREBIRD_LOCK already set is
# kept.
if [ -z "${FIREBIRD_LOCK:-}" ] && [ -e /tmp/firebird ] && [ ! -w /tmp/firebird ]; then
  export FIREBIRD_LOCK="${TMPDIR:-/tmp}/firebird-lock-$(id -u)"
  mkdir -p -- "$FIREBIRD_LOCK"
fi
