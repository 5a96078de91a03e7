#!/bin/sh
# Runs a Windows program of the cross-build under wine, quietly, in a wine
# prefix of its own that is created once (WINEPREFIX, or one per user in /tmp).
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/outils-wine-$(id -u)}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One creation at a time when tests run in parallel.
  flock "$WINEPREFIX.verrou" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1'
fi
exec wine "$@"
