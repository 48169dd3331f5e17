#!/bin/sh
# cmake --install into a scratch prefix puts the programs, the desktop entry,
# the icon, the AppStream metadata, the browser extension and the
# native-messaging host manifests in place; the entry and metadata pass their
# validators, and the manifests name the installed host and the extension's id.
# Usage: install_test.sh BUILD_DIR
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
hosts=share/vendrake/native-messaging-hosts
for file in bin/vendrake bin/vendrake-cli bin/vendrake-native-host \
    share/vendrake/browser-extension/manifest.json share/vendrake/browser-extension/background.js \
    $hosts/chromium/org.vendrake.vendrake.json $hosts/firefox/org.vendrake.vendrake.json \
    share/applications/org.vendrake.Vendrake.desktop \
    share/metainfo/org.vendrake.Vendrake.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.vendrake.Vendrake.svg; do
  [ -f "$prefix/$file" ] || { echo "missing: $file"; exit 1; }
done
[ -x "$prefix/bin/vendrake" ] || { echo "bin/vendrake is not executable"; exit 1; }
desktop-file-validate "$prefix/share/applications/org.vendrake.Vendrake.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.vendrake.Vendrake.metainfo.xml"
# The installed vendrake registers the installed host and extension for a
# user (a scratch home here).
user="$prefix/user"
env HOME="$user" XDG_DATA_HOME="$user/data" XDG_CONFIG_HOME="$user/config" VENDRAKE_HOME="$user/vendrake" \
  QT_QPA_PLATFORM=offscreen "$prefix/bin/vendrake" --regserver
python3 - "$prefix" "$user" <<'EOF'
import base64, hashlib, json, os, sys
prefix, user = sys.argv[1], sys.argv[2]
hosts = prefix + "/share/vendrake/native-messaging-hosts/"
extension = json.load(open(prefix + "/share/vendrake/browser-extension/manifest.json"))
digest = hashlib.sha256(base64.b64decode(extension["key"])).hexdigest()[:32]
chromium_id = "".join(chr(ord("a") + int(c, 16)) for c in digest)
chromium = json.load(open(hosts + "chromium/org.vendrake.vendrake.json"))
firefox = json.load(open(hosts + "firefox/org.vendrake.vendrake.json"))
for manifest in (chromium, firefox):
    assert manifest["name"] == "org.vendrake.vendrake", manifest
    assert manifest["path"] == prefix + "/bin/vendrake-native-host", manifest["path"]
assert chromium["allowed_origins"] == ["chrome-extension://%s/" % chromium_id], (chromium, chromium_id)
assert firefox["allowed_extensions"] == [extension["browser_specific_settings"]["gecko"]["id"]], firefox
registered = json.load(open(user + "/config/chromium/NativeMessagingHosts/org.vendrake.vendrake.json"))
assert registered["allowed_origins"] == chromium["allowed_origins"], registered
assert registered["path"] == chromium["path"], registered
store = open(user + "/vendrake/registry.reg", encoding="utf-8", errors="replace").read()
assert prefix + "/share/vendrake/browser-extension" in store, store
assert os.path.isdir(prefix + "/share/vendrake/browser-extension")
EOF
