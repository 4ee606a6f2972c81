#!/usr/bin/env bash
# Fails when a core file includes anything but the C++ standard library and
# the core's own headers. The core is every source under src/ outside the
# realisations src/platform/linux/ and src/platform/win32/.
#   tools/check_core_portable.sh [ROOT]
# An allow-list: an OS header, a library's header or a realisation's header is
# caught without being named here.
set -u
root=${1:-.}
cd "$root" || exit 2
[ -d src ] || { echo "no src/ in $root" >&2; exit 2; }

# The headers of the C++20 standard library, the C ones in their <cxxx> form.
standard=(
  algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex concepts
  condition_variable coroutine deque exception execution expected filesystem format forward_list
  fstream functional future initializer_list iomanip ios iosfwd iostream istream iterator latch
  limits list locale map memory memory_resource mutex new numbers numeric optional ostream queue
  random ranges ratio regex scoped_allocator semaphore set shared_mutex source_location span
  sstream stack stdexcept stop_token streambuf string string_view syncstream system_error thread
  tuple type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant
  vector version
  cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg
  cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
)
declare -A allowed=()
for h in "${standard[@]}"; do allowed[$h]=1; done

realisation='^src/platform/(linux|win32)(/|$)'
# A core header named from src/, or from the including file's own folder.
core_header() {
    local from=$1 name=$2 path
    for path in "src/$name" "$(dirname "$from")/$name"; do
        path=$(realpath -m --relative-to=. "$path")
        [[ $path == src/* && -f $path && ! $path =~ $realisation ]] && return 0
    done
    return 1
}

include_line='^[[:space:]]*#[[:space:]]*include'
include_named='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]*)[>"]'
bad=()
while IFS= read -r file; do
    [[ $file =~ $realisation ]] && continue
    lineno=0
    while IFS= read -r line; do
        lineno=$((lineno + 1))
        [[ $line =~ $include_named ]] || {
            # An include through a macro cannot be checked: refused.
            [[ $line =~ $include_line ]] && bad+=("$file:$lineno: $line")
            continue
        }
        kind=${BASH_REMATCH[1]} name=${BASH_REMATCH[2]}
        if [ "$kind" = '<' ]; then
            [ -n "${allowed[$name]:-}" ] && continue
        elif core_header "$file" "$name"; then
            continue
        fi
        bad+=("$file:$lineno: $line")
    done <"$file"
done < <(find src -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.inc' \) | sort)

if [ ${#bad[@]} -gt 0 ]; then
    echo "core files include what is neither the standard library nor the core:"
    printf '%s\n' "${bad[@]}"
    exit 1
fi
echo "core is portable"
