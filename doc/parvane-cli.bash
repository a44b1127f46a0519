# bash completion for parvane-cli.
#
# Step names and codes come from `parvane-cli --list`, so the completion
# always offers what the installed program knows.

_parvane_cli_steps() {
  local cli="$1"
  # --list: code TAB bracketed name TAB alias [TAB parameters]
  "$cli" --list 2>/dev/null | awk -F'\t' '{ print $3; print $1; print $2 }'
}

_parvane_cli() {
  local cur prev
  cur="${COMP_WORDS[COMP_CWORD]}"
  prev="${COMP_WORDS[COMP_CWORD-1]}"
  local options="-f -e --answer --match-case --standard-selection --no-backup --code
                 --settings --no-settings --stdout -o --list --help --version"

  case "$prev" in
    -e)
      local IFS=$'\n'
      COMPREPLY=($(compgen -W "$(_parvane_cli_steps "${COMP_WORDS[0]}")" -- "$cur"))
      return
      ;;
    --code)
      COMPREPLY=($(compgen -W "sjis euc-jp jis utf-8 utf-16 utf-16be utf-8n" -- "$cur"))
      return
      ;;
    -f)
      COMPREPLY=($(compgen -f -X '!*.pvx' -- "$cur") $(compgen -d -- "$cur"))
      return
      ;;
    --settings | -o)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --answer)
      return
      ;;
  esac
  if [[ "$cur" == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}

complete -o filenames -F _parvane_cli parvane-cli
