# bash completion for wisp: commands, options, book names and paths inside a book.
# Installed as share/bash-completion/completions/wisp; works without the bash-completion
# package too (source it from ~/.bashrc).

# Adds each line of standard input that the word being completed starts, shell-quoted; fed
# through a redirection, never a pipe, so that COMPREPLY is the caller's.
_wisp_offer() {
    local cur=$1 line quoted
    while IFS= read -r line; do
        [[ -n $line ]] || continue
        printf -v quoted '%q' "$line"
        [[ $quoted == "$cur"* ]] && COMPREPLY+=("$quoted")
    done
}

# The entries of a folder inside a book: folders with "/", pages when asked for; companion
# folders (".files", "_files") stay hidden as in the book's tree.
_wisp_book_entries() {
    local folder=$1 prefix=$2 pages=$3 entry name
    [[ -d $folder ]] || return
    for entry in "$folder"/*; do
        name=${entry##*/}
        if [[ -d $entry ]]; then
            [[ $name == *.files || $name == *_files ]] || printf '%s\n' "$prefix$name/"
        elif [[ $pages == pages && ($name == *.htm || $name == *.HTM) ]]; then
            printf '%s\n' "$prefix$name"
        fi
    done
}

# The helpers below run inside _wisp and read its locals (wisp, root, book, rootArgs, cur).
_wisp_books() {
    "$wisp" books --quiet "${rootArgs[@]}" 2>/dev/null | cut -c3-
}

# The folder of the named book, else of --book, else of the current book.
_wisp_book_folder() {
    local theRoot=$root theBook=${1:-$book}
    [[ -n $theRoot ]] || theRoot=$("$wisp" root 2>/dev/null)
    [[ -n $theBook ]] ||
        theBook=$("$wisp" books --quiet "${rootArgs[@]}" 2>/dev/null | sed -n 's/^\* //p')
    [[ -n $theRoot && -n $theBook ]] && printf '%s/%s' "$theRoot" "$theBook"
}

# Paths inside the book below the folder typed so far.
_wisp_book_paths() {
    local pages=$1 folder typed=${cur//\\/} dir=""
    folder=$(_wisp_book_folder) || return
    [[ $typed == */* ]] && dir=${typed%/*}/
    _wisp_offer "$cur" < <(_wisp_book_entries "$folder/$dir" "$dir" "$pages")
}

_wisp() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local wisp=${COMP_WORDS[0]} command="" root="" book="" i word
    local -a positionals=() rootArgs=()
    local valueOptions=" --root --book --folder --title --keywords --description --selection --transfers --render-timeout --depth --scope --max-pages --include --exclude --delay --output -o --to-book --source-url --format --language --limit --stall-timeout --max-markup-size --max-resource-size --max-total-size "
    COMPREPLY=()

    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $valueOptions == *" $word "* ]]; then
            ((i++))
            case $word in
            --root) root=${COMP_WORDS[i]} ;;
            --book) book=${COMP_WORDS[i]} ;;
            esac
        elif [[ $word == -* ]]; then
            continue
        elif [[ -z $command ]]; then
            command=$word
        else
            positionals+=("$word")
        fi
    done
    [[ -n $root ]] && rootArgs=(--root "$root")

    case $prev in
    --root)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --book | --to-book)
        _wisp_offer "$cur" < <(_wisp_books)
        return
        ;;
    --folder)
        compopt -o nospace 2>/dev/null
        _wisp_book_paths folders
        return
        ;;
    -o | --output)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W "chm epub pdf" -- "$cur"))
        return
        ;;
    --title | --keywords | --description | --selection | --transfers | --render-timeout | --depth | --scope | --max-pages | --include | --exclude | --delay | --source-url | --language | --limit | --stall-timeout | --max-markup-size | --max-resource-size | --max-total-size)
        return
        ;;
    esac

    local common="--root --quiet --help -h --version"
    if [[ $cur == -* ]]; then
        local options=""
        case $command in
        books) options="--json" ;;
        tree) options="--book --json" ;;
        mkdir) options="--book --parents -p" ;;
        rename) options="--book" ;;
        move) options="--book --to-book" ;;
        rm) options="--book --permanent --json" ;;
        rm-book) options="--permanent" ;;
        root) options="--default" ;;
        collect) options="--book --folder --parents --title --keywords --description --selection --transfers --static --render-timeout --keep-scripts --replace --json --follow --depth --scope --max-pages --include --exclude --flat --ignore-robots --delay --resume --stall-timeout --max-markup-size --max-resource-size --max-total-size" ;;
        paste) options="--book --folder --parents --title --source-url --transfers --replace --json --stall-timeout --max-markup-size --max-resource-size --max-total-size" ;;
        info) options="--book --json" ;;
        recollect) options="--book --transfers --static --render-timeout --keep-scripts --json --stall-timeout --max-markup-size --max-resource-size --max-total-size" ;;
        build) options="--book --output -o --format --title --language --json" ;;
        search) options="--book --limit --json" ;;
        index) options="--rebuild" ;;
        browser-install) options="--chromium --firefox --all --uninstall" ;;
        esac
        COMPREPLY=($(compgen -W "$common $options" -- "$cur"))
        return
    fi

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "root books new-book use rename-book rm-book tree mkdir rename move rm collect paste info recollect build search index browser-install native-host version" -- "$cur"))
        return
    fi

    case $command in
    root)
        ((${#positionals[@]} == 0)) || return
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        ;;
    use | tree | rename-book | rm-book)
        ((${#positionals[@]} == 0)) && _wisp_offer "$cur" < <(_wisp_books)
        ;;
    mkdir)
        compopt -o nospace 2>/dev/null
        ((${#positionals[@]} == 0)) && _wisp_book_paths folders
        ;;
    rename | rm | info | recollect)
        compopt -o nospace 2>/dev/null
        ((${#positionals[@]} == 0)) && _wisp_book_paths pages
        ;;
    move)
        compopt -o nospace 2>/dev/null
        if ((${#positionals[@]} == 0)); then
            _wisp_book_paths pages
        elif ((${#positionals[@]} == 1)); then
            _wisp_book_paths folders
        fi
        ;;
    paste)
        compopt -o filenames 2>/dev/null
        ((${#positionals[@]} == 0)) && COMPREPLY=($(compgen -f -- "$cur"))
        ;;
    build)
        ((${#positionals[@]} == 0)) || return
        compopt -o nospace 2>/dev/null
        if [[ $cur == */* ]]; then
            local chosen=${cur%%/*}
            book=${chosen//\\/}
            local folder typed=${cur#*/} dir=""
            typed=${typed//\\/}
            folder=$(_wisp_book_folder "$book") || return
            [[ $typed == */* ]] && dir=${typed%/*}/
            _wisp_offer "$cur" < <(_wisp_book_entries "$folder/$dir" "$book/$dir" folders)
        else
            _wisp_offer "$cur" < <(_wisp_books | sed 's|$|/|')
        fi
        ;;
    esac
}

complete -F _wisp wisp
