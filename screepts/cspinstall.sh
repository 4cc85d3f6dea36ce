#!/bin/bash
# Installs the CSP from its unpacked archive, then the browser plug-in, inside a terminal.
#   cspinstall.sh SYSTEM DIR
# SYSTEM is debian, astra, ubuntu, altlinux, rpmbase or suse; the scripts of those names call
# this one. DIR is the unpacked CSP archive (~/buildcpcsp/linux-amd64_deb/ or linux-amd64/);
# suse is given the work directory ~/buildcpcsp/ itself and uses its linux-amd64/.
#
# Root comes from su on Debian and Alt Linux and from sudo on the others, as the installer's list
# of systems tells the user. The plug-in is every cprocsp-pki-* package of the system's kind
# found under ~/buildcpcsp/, installed with the system's own package tool. The CSP's install.sh
# logs into /tmp/install.log, the rest into /tmp/log.txt. At the end the script says what
# happened and waits for Enter, so that the terminal does not close before the user has read it.
#
# VELMORA_LOG_DIR exists for the tests only, which keep the logs in a directory of their own.
set -u

log_dir=${VELMORA_LOG_DIR:-/tmp}
work="${HOME:?}/buildcpcsp"

# Starts a log afresh on descriptor 3 or 4. Whatever stands at its place (a symbolic link, a
# directory, an old log) is removed first; what cannot be removed, such as another user's file
# in /tmp, is left alone and that log is not kept, so nothing is ever written through a link or
# into a file that is not the user's own.
open_log() {
    local fd=$1 path=$2
    rm -f -- "$path" 2>/dev/null
    set -C
    { eval "exec $fd>\"\$path\""; } 2>/dev/null
    local opened=$?
    set +C
    if [ "$opened" -eq 0 ] && [ -f "$path" ] && [ ! -L "$path" ] && [ -O "$path" ] &&
        [ "$path" -ef "/dev/fd/$fd" ]; then
        # Reopened for appending, so that its lines and those tee adds do not overwrite
        # each other.
        eval "exec $fd>>/dev/fd/$fd"
        return 0
    fi
    eval "exec $fd>/dev/null"
    echo "Журнал $path не ведётся: его место занято файлом, который нельзя заменить."
}

log() {
    printf '%s\n' "$*" >&3
}

# Shows how it ended, waits for Enter and leaves with the given status.
finish() {
    local status=$1 message=$2
    echo
    echo "$message"
    log "$message"
    echo
    echo "Нажмите Enter, чтобы закрыть окно."
    read -r _ || true
    exit "$status"
}

quote() {
    local s=${1//\'/\'\\\'\'}
    printf "'%s'" "$s"
}

# Runs a command as root in the given directory: through "su -" (which starts in root's home,
# hence the cd) or through sudo.
as_root() {
    local where=$1
    shift
    log "root ($root): $*"
    if [ "$root" = su ]; then
        local line word
        line="cd $(quote "$where") &&"
        for word in "$@"; do
            line+=" $(quote "$word")"
        done
        su - -c "$line"
    else
        (cd -- "$where" && sudo "$@")
    fi
}

open_log 3 "$log_dir/log.txt"
open_log 4 "$log_dir/install.log"

if [ "$#" -ne 2 ]; then
    finish 2 "Использование: $0 СИСТЕМА КАТАЛОГ"
fi
system=$1
dir=${2%/}

case "$system" in
debian) root=su kind=deb ;;
astra | ubuntu) root=sudo kind=deb ;;
altlinux) root=su kind=rpm ;;
rpmbase) root=sudo kind=rpm ;;
suse)
    root=sudo kind=rpm
    dir=$dir/linux-amd64
    ;;
*) finish 2 "Неизвестный тип системы: $system" ;;
esac

case "$system" in
debian | astra | ubuntu)
    if command -v apt >/dev/null; then tool=(apt install); else tool=(dpkg -i); fi
    ;;
altlinux) tool=(apt-get install) ;;
rpmbase)
    if command -v dnf >/dev/null; then tool=(dnf install); else tool=(yum install); fi
    ;;
suse) tool=(zypper install) ;;
esac

log "$(date '+%F %T') установка КриптоПро CSP ($system) из $dir/"

if [ ! -f "$dir/install.sh" ]; then
    finish 1 "Не найден $dir/install.sh: сначала распакуйте архив КриптоПро CSP."
fi

echo "Установка КриптоПро CSP из $dir/ (журнал: $log_dir/install.log)"
as_root "$dir" ./install.sh 2>&1 | tee -a /dev/fd/4
status=${PIPESTATUS[0]}
log "install.sh: код завершения $status"
if [ "$status" -ne 0 ]; then
    finish 1 "Установка КриптоПро CSP не удалась (код $status), подробности в $log_dir/install.log. Плагин не устанавливался."
fi

packages=()
while IFS= read -r -d '' package; do
    packages+=("$package")
done < <(find "$work" -type f -name "cprocsp-pki-*.$kind" -print0 | sort -z)
if [ "${#packages[@]}" -eq 0 ]; then
    finish 1 "КриптоПро CSP установлен. Пакеты плагина (cprocsp-pki-*.$kind) не найдены в $work/: распакуйте архив плагина и запустите установку снова."
fi

echo
echo "Установка плагина: ${packages[*]##*/} (журнал: $log_dir/log.txt)"
as_root "$work" "${tool[@]}" "${packages[@]}" 2>&1 | tee -a /dev/fd/3
status=${PIPESTATUS[0]}
log "${tool[0]}: код завершения $status"
if [ "$status" -ne 0 ]; then
    finish 1 "КриптоПро CSP установлен, установка плагина не удалась (код $status), подробности в $log_dir/log.txt."
fi
finish 0 "КриптоПро CSP и плагин установлены."
