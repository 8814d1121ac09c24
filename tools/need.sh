# Sourced by the scripts: installs the Debian packages given to `need` that
# this machine does not have yet. Everything it prints goes to standard
# error, so a script whose output is a result (web.sh prints the page's
# path) gives that alone.
need() {
    local missing=()
    for pkg in "$@"; do
        dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    {
        echo "Installing: ${missing[*]}"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    } >&2
}
