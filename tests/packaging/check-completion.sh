#!/usr/bin/env bash
# arbolith-render's bash completion in an interactive bash with the bash-completion library,
# typed into a terminal as a user types: Tab completes an option, Tab Tab lists a value's
# choices, Tab completes a file name.
#   check-completion.sh COMPLETION-FILE FOLDER-OF-ARBOLITH-RENDER
set -euo pipefail
completion=$(readlink -f "$1")
bin=$(readlink -f "$2")
work=$(mktemp -d)
server=arbolith-completion-$$
shell=""
# The shell writes nothing into its folder (no history), and the folder goes only once the shell
# has ended.
cleanup() {
  tmux -L "$server" kill-server 2>/dev/null || true
  [[ -z "$shell" ]] || timeout 30 tail --pid="$shell" -s 0.1 -f /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "the terminal showed:" >&2
  tmux -L "$server" capture-pane -p -t check | sed "/^$/d" >&2 || true
  exit 1
}

cat >"$work/bashrc" <<EOF
PS1='ready\$ '
unset HISTFILE
set +o history
source /usr/share/bash-completion/bash_completion
source '$completion'
PATH='$bin':\$PATH
cd '$work/files'
EOF
mkdir "$work/files"
touch "$work/files/tree.png"

tmux -L "$server" -f /dev/null new-session -d -s check -x 160 -y 40 \
  "env -i HOME='$work' HISTFILE=/dev/null TERM=xterm bash --noprofile --rcfile '$work/bashrc' -i"
shell=$(tmux -L "$server" display-message -p -t check '#{pane_pid}')

# Waits until the terminal's last lines match the extended regular expression $1.
shows() {
  local deadline=$((SECONDS + 20))
  until tmux -L "$server" capture-pane -p -N -t check | grep -qE -- "$1"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Types $2 (tmux key names) on a fresh prompt and waits for the screen to show $3.
check() {
  tmux -L "$server" send-keys -t check C-u
  tmux -L "$server" send-keys -t check clear Enter
  shows '^ready\$ $' || fail "$1: no prompt"
  # shellcheck disable=SC2086
  tmux -L "$server" send-keys -t check $2
  shows "$3" || fail "$1"
  echo "ok: $1"
}

check "--fo completes to '--format '" "arbolith-render Space --fo Tab" \
  '^ready\$ arbolith-render --format $'
check "--format lists the formats" "arbolith-render Space --format Space Tab Tab" \
  '^glb +obj +pdf +png +svg *$'
check "-o completes a file name" "arbolith-render Space -o Space tr Tab" \
  '^ready\$ arbolith-render -o tree\.png $'
