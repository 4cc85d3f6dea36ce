#!/bin/bash
# Unpacks a downloaded archive of the CSP or of its browser plug-in into ~/buildcpcsp/.
#   createarch.sh ARCHIVE
# The CSP archive gives linux-amd64_deb/ or linux-amd64/ there, the plug-in archive its own
# directory; a directory of the same name from an earlier unpack is replaced. Prints what it did
# and exits non-zero with a message when the archive is missing, damaged, or would put anything
# outside ~/buildcpcsp/.
set -u

if [ "$#" -ne 1 ]; then
    echo "Использование: $0 АРХИВ" >&2
    exit 2
fi
archive=$1
work="${HOME:?}/buildcpcsp"

if [ ! -f "$archive" ] || [ ! -r "$archive" ]; then
    echo "Файл архива не найден или недоступен для чтения: $archive" >&2
    exit 1
fi

if ! members=$(tar -tf "$archive" 2>&1); then
    echo "$members" >&2
    echo "Архив повреждён или не является архивом tar: $archive" >&2
    exit 1
fi

# GNU tar would skip such members on its own; an archive that has them is not one of ours at
# all, so it is refused whole.
while IFS= read -r member; do
    [ -n "$member" ] || continue
    case "/$member/" in
    //* | */../*)
        echo "Архив содержит путь вне каталога распаковки: $member" >&2
        echo "Архив не распакован: $archive" >&2
        exit 1
        ;;
    esac
done <<<"$members"

if ! mkdir -p -- "$work"; then
    echo "Не удалось создать каталог $work/" >&2
    exit 1
fi

# Unpacked into an empty directory of its own first, so that nothing left in the work directory
# (a symbolic link, say) can redirect a member, and a damaged archive leaves no half-done
# directory behind.
if ! stage=$(mktemp -d -- "$work/.unpack.XXXXXX"); then
    echo "Не удалось создать временный каталог в $work/" >&2
    exit 1
fi
trap 'rm -rf -- "$stage"' EXIT
# Stopped from outside (the program's Отмена or its time-out): the clean-up above still runs.
trap 'exit 143' TERM INT HUP

if ! tar -xf "$archive" -C "$stage" --no-same-owner --no-same-permissions; then
    echo "Архив повреждён, распаковка прервана: $archive" >&2
    exit 1
fi

if [ -z "$(find "$stage" -mindepth 1 -maxdepth 1)" ]; then
    echo "Архив пуст: $archive" >&2
    exit 1
fi

echo "Архив $archive распакован в $work/:"
while IFS= read -r -d '' entry; do
    name=${entry##*/}
    if [ -e "$work/$name" ] || [ -L "$work/$name" ]; then
        rm -rf -- "${work:?}/$name" || exit 1
        echo "  $name (заменён прежний)"
    else
        echo "  $name"
    fi
    mv -- "$entry" "$work/" || exit 1
done < <(find "$stage" -mindepth 1 -maxdepth 1 -print0 | sort -z)
