# bash completion for movara-cli. The options are read from the program's
# own --help, so that the list is always the program's: after an option
# whose value is a DIR the folders complete, after one whose value is a FILE
# any file, after one with another value nothing; elsewhere the options,
# GIF, PNG and WebP files and folders.
_movara_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local help value=""
  help=$("${COMP_WORDS[0]}" --help 2>/dev/null)
  if [[ $prev =~ ^--[a-z-]+$ ]]; then
    value=$(sed -n "s/^ *$prev \\([A-Z][A-Z/]*\\)[ ,].*/\\1/p" <<<"$help")
  fi
  COMPREPLY=()
  if [[ $value == DIR ]]; then
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
  elif [[ $value == FILE ]]; then
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
  elif [[ -n $value ]]; then
    return 0
  elif [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)" -- "$cur")
  else
    mapfile -t COMPREPLY < <(
      for kind in '[gG][iI][fF]' '[pP][nN][gG]' '[aA][pP][nN][gG]' '[wW][eE][bB][pP]'; do
        compgen -f -X "!*.$kind" -- "$cur"
      done
      compgen -d -- "$cur")
  fi
}
complete -o filenames -F _movara_cli movara-cli
