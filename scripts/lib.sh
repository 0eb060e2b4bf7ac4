# Shared by the project's scripts: installs the Debian packages the build
# needs when they are missing, then configures and builds a tree.

VANTREL_PACKAGES=(g++ cmake ninja-build pkg-config python3 libgtest-dev libgmock-dev
	libbenchmark-dev nlohmann-json3-dev libcli11-dev)

ensure_packages() {
	local missing=()
	for package in "${VANTREL_PACKAGES[@]}"; do
		dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
			|| missing+=("$package")
	done
	[ ${#missing[@]} -eq 0 ] && return 0
	if [ "$(id -u)" -ne 0 ]; then
		echo "These Debian packages are needed: ${missing[*]}" >&2
		echo "Install them with: sudo apt-get install ${missing[*]}" >&2
		exit 1
	fi
	echo "Installing ${missing[*]}"
	export DEBIAN_FRONTEND=noninteractive
	apt-get update -qq
	apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
	local dir=$1
	shift
	cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
	cmake --build "$dir" -j "$(nproc)"
}
