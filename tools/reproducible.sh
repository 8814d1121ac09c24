# Sourced by the build scripts, so that one commit gives the same downloads,
# byte for byte, whoever builds it, wherever and whenever:
# - every time in them is the last commit's, SOURCE_DATE_EPOCH (which cpack,
#   dpkg-deb, tar and strip-nondeterminism honour), unless the caller set one;
#   a tree without git history takes the release's date from CMakeLists.txt;
# - times are read in UTC, since a zip stores its members' local times;
# - new files and folders get the modes Debian wants (0755 and 0644) whatever
#   the caller's umask, as dpkg-buildpackage does.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null ||
        date -u -d "$(sed -n 's/^set(SKIRMLINGS_RELEASE_DATE \(.*\))$/\1/p' CMakeLists.txt)" +%s)"
fi
export SOURCE_DATE_EPOCH TZ=UTC
umask 022
