# ensure_packages PKG...: apt-get installs the packages that are not installed.
ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
}

# ensure_architecture ARCH: lets dpkg install packages of ARCH (e.g. i386 for
# wine32:i386), refreshing the package lists once it is added.
ensure_architecture() {
    if ! dpkg --print-foreign-architectures | grep -qx "$1"; then
        echo "adding architecture: $1"
        dpkg --add-architecture "$1"
        apt-get update -qq
    fi
}
