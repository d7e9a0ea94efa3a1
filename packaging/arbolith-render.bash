# bash completion for arbolith-render
#
# The options, which of them take a value, and the choices of a value are read from the
# program's own --help, so they are always the program's.

_arbolith_render() {
    local cur prev words cword split
    _init_completion -s || return

    local help
    help=$("$1" --help 2>/dev/null) || return

    # The head lines of --help: "  -o, --output FILE", "  --literal".
    local -A value_of=()
    local options=() line word value
    while IFS= read -r line; do
        [[ $line == "  -"* ]] || continue
        value=${line##* }
        [[ $value == -* ]] && value=""
        for word in ${line//,/ }; do
            if [[ $word == -* ]]; then
                options+=("$word")
                value_of[$word]=$value
            fi
        done
    done <<<"$help"

    if [[ $prev == -* && -n ${value_of[$prev]-} ]]; then
        value=${value_of[$prev]}
        case $value in
            FILE) _filedir ;;
            *"|"*) COMPREPLY=($(compgen -W "${value//|/ }" -- "$cur")) ;;
        esac
        return
    fi
    $split && return

    COMPREPLY=($(compgen -W "${options[*]}" -- "$cur"))
} &&
    complete -F _arbolith_render arbolith-render
