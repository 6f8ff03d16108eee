#!/bin/sh
# Validates the launcher entry and the AppStream description that the
# install step puts on the desktop. Exits 77 (skipped) when the validators
# are not installed; CI installs desktop-file-utils and appstream.
desktop_file=$1
metainfo_file=$2
missing=""
command -v desktop-file-validate >/dev/null 2>&1 || missing="$missing desktop-file-validate (desktop-file-utils)"
command -v appstreamcli >/dev/null 2>&1 || missing="$missing appstreamcli (appstream)"
if [ -n "$missing" ]; then
    echo "SKIPPED: validator not installed:$missing"
    exit 77
fi
status=0
desktop-file-validate "$desktop_file" || status=1
appstreamcli validate --no-net "$metainfo_file" || status=1
exit $status
