# Sourced: sets tarnwick_cache, the folder outside any clone where what is
# slow to make is kept from one run to the next (Qt for Windows, the
# compiler's cache): the system's cache folder for root, the user's otherwise.
if [ "$(id -u)" -eq 0 ]; then
  tarnwick_cache=/var/cache/tarnwick
else
  tarnwick_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick
fi
