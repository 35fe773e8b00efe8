# Sourced by the scripts that install Debian packages: apt-get that rides out the package archive's bad
# moments (a mirror in the middle of a sync, an index of the wrong size, a dropped connection), which
# usually pass within minutes.
#   apt_get <arguments>...     apt-get as root, without questions
#   apt_update                 one apt-get update; where an index fails, says so and goes on with the
#                              indexes that did arrive: the step that needs a missing one fails itself
#   apt_patiently <what> <command>...
#                              an apt command (apt-get source, say), tried again after a pause and a
#                              fresh apt-get update while it fails, TESSALINE_APT_TRIES times in all (4);
#                              the pauses start at TESSALINE_APT_PAUSE seconds (15) and double
#   apt_install <apt-get install arguments>...
#                              the packages, patiently. Where the archive's update suites still lack an
#                              index after that (bookworm-security's i386 one, say, while the amd64 one
#                              is newer, so that the two architectures' libraries cannot be matched),
#                              one more try takes every package from the release's own suite instead.
#   apt_archive_failed         says that the package archive failed and ends the script
apt_sudo=""
[ "$(id -u)" -ne 0 ] && apt_sudo=sudo
apt_indexes_missing=""

apt_get() {
  $apt_sudo env DEBIAN_FRONTEND=noninteractive apt-get "$@"
}

# apt's own errors and warnings, or its last lines where it printed none, indented.
apt_says() {
  { grep -E '^(E|Err|W):' "$1" || tail -n 5 "$1"; } | sed 's/^/  /' >&2
}

apt_update() {
  local log
  log=$(mktemp)
  if apt_get update -qq >"$log" 2>&1; then
    apt_indexes_missing=""
  else
    apt_indexes_missing=1
    echo "apt-get update failed; going on with the package indexes that did arrive. apt-get said:" >&2
    apt_says "$log"
  fi
  rm -f "$log"
}

apt_patiently() {
  local what=$1 tries=${TESSALINE_APT_TRIES:-4} pause=${TESSALINE_APT_PAUSE:-15} try log status
  shift
  log=$(mktemp)
  for ((try = 1; ; try++)); do
    status=0
    "$@" >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] && break
    if [ "$try" -ge "$tries" ]; then
      echo "$what did not succeed in $tries tries. apt-get said:" >&2
      apt_says "$log"
      break
    fi
    echo "$what failed (try $try of $tries); trying again in $pause s. apt-get said:" >&2
    apt_says "$log"
    sleep "$pause"
    pause=$((pause * 2))
    apt_update
  done
  rm -f "$log"
  return "$status"
}

apt_install() {
  local release log status=0
  apt_patiently "apt-get install" apt_get install -y -qq --no-install-recommends "$@" && return 0
  [ -n "$apt_indexes_missing" ] || return 1
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$release" ] || return 1
  echo "Taking every package from $release itself, whose indexes did arrive, instead of its update suites" >&2
  log=$(mktemp)
  apt_get install -y -qq --no-install-recommends -o APT::Default-Release="$release" "$@" >"$log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || apt_says "$log"
  rm -f "$log"
  return "$status"
}

apt_archive_failed() {
  echo "The package archive failed, so the packages that this needs cannot be installed now; try again later." >&2
  exit 1
}
