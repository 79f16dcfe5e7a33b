#!/bin/bash
# A headless sway shows a picture named with a blank and a command substitution once the backend
# has set it over the IPC socket, and the command never runs. Usage: sway_pixel.sh SET_WALLPAPER
# shellcheck disable=SC2154,SC2015 source-path=SCRIPTDIR source=../support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
needs sway swaybg grim od
dir=$(mktemp -d) && scratch+=("$dir") && cp "$1" "$dir/set_wallpaper" || fail "no temporary folder"
# sway goes by its own pid, for its parent to reap it; swaybg ends with it, the user after them.
finish() {
  [[ ${pid-} ]] && kill "$pid" && wait "${background[0]}"; cleanup
  for _ in {1..20}; do [[ ${user-} ]] && ! userdel "$user" 2>/dev/null || break; sleep 0.3; done
}
trap finish EXIT
as=() # sway refuses root: then it and its clients run as a throwaway user of this run's own
if ((EUID == 0)); then
  user=dornava-sway-$$ && as=(runuser -u "$user" --)
  for _ in {1..20}; do useradd -MN -d "$dir" -s /usr/sbin/nologin "$user" && break; sleep 0.5; done
  chown "$user" "$dir" || fail "useradd $user failed"
fi
cd "$dir" && echo 'xwayland disable' >config && picture="$dir/a \$(touch x).ppm" || fail "no $dir"
{ printf 'P6 16 16 255\n'; for _ in {1..256}; do printf '\x20\xc0\x40'; done; } >"$picture"
env=(env HOME="$dir" XDG_RUNTIME_DIR="$dir" WLR_BACKENDS=headless WLR_RENDERER=pixman)
"${as[@]}" "${env[@]}" sway -c config >sway.log 2>&1 & background+=($!)
up() { socket=$(compgen -G "$dir/sway-ipc.*.sock") && display=$(compgen -G 'wayland-?'); }
wait_for 30 "sway to start" up
IFS=. read -r _ _ pid _ <<<"${socket##*/}" # sway-ipc.UID.PID.sock
env+=(XDG_CURRENT_DESKTOP=sway SWAYSOCK="$socket" WAYLAND_DISPLAY="$display")
"${as[@]}" "${env[@]}" ./set_wallpaper "$picture" || fail "the backend failed: $(<sway.log)"
[[ ! -e x ]] || fail "a command in the file name ran" # sway expands words before it answers
pixel() { "${as[@]}" "${env[@]}" grim -g '640,360 1x1' -t ppm - | tail -c 3 | od -An -tx1; }
shows_picture() { [[ $(pixel) == ' 20 c0 40' ]]; }
wait_for 20 "the picture on the output" shows_picture
