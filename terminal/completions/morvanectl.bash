# bash completion for morvanectl
_morvanectl() {
  local cur prev words cword split
  _init_completion -s || return

  local command='' word
  for word in "${words[@]:1:cword-1}"; do
    case "$word" in
      status | sign-in | reset | doctor | help) command="$word"; break ;;
    esac
  done

  case "$prev" in
    --lang) COMPREPLY=($(compgen -W 'vi en' -- "$cur")); return ;;
    --platform) COMPREPLY=($(compgen -W 'cli desktop' -- "$cur")); return ;;
    --key-file) _filedir; return ;;
  esac
  $split && return

  local options='--lang --help --version'
  case "$command" in
    '') COMPREPLY=($(compgen -W "status sign-in reset doctor help $options" -- "$cur")); return ;;
    help) [[ "${words[cword - 1]}" == help ]] && COMPREPLY=($(compgen -W 'status sign-in reset doctor' -- "$cur")); return ;;
    status) options+=' --json --show-key' ;;
    sign-in) options+=' --platform --key-file --json --check' ;;
    reset) options+=' --yes --json --check' ;;
    doctor) options+=' --json --offline' ;;
  esac
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
} && complete -F _morvanectl morvanectl
