# Sourced by scripts/lib/wine.sh and scripts/lib/wow64.sh.
#
# prefix_own_user_folders: Wine links a new prefix's Desktop, Documents, Downloads and the like to
# the host user's home. The wizard saves its product in Downloads, so every run would leave a file
# in the host's home; the prefix gets folders of its own instead. Safe to call on every use.
prefix_own_user_folders() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    [ -L "$link" ] || continue
    rm -f "$link" && mkdir -p "$link"
  done
}
