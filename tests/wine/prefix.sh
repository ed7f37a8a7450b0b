# Shared by wine-run and the end-to-end scripts: a Wine prefix of one's own,
# copied from the template the wine_prefix test makes. Source it, then call
# new_wine_prefix <template> <folder>; it exports WINEPREFIX and friends.

new_wine_prefix() { # template folder
    local template=$1 folder=$2 hive
    if [ ! -f "$template/.complete" ]; then
        echo "no Wine prefix to copy at $template (the wine_prefix test makes it)" >&2
        return 1
    fi
    mkdir -p "$folder"
    # A fresh prefix is 700 MB of DLLs that no test changes: links to the
    # template's files cost nothing. Wine replaces a registry file when it
    # saves one, but each prefix gets copies of its own all the same.
    cp -al "$template/." "$folder/"
    for hive in system.reg user.reg userdef.reg; do
        cp --remove-destination "$template/$hive" "$folder/$hive"
    done
    export WINEPREFIX=$folder
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko: nothing here uses .NET or the HTML engine.
    export WINEDLLOVERRIDES='mscoree,mshtml='
}

# Wine keeps the Linux side's QT_* variables from Windows programs, so the
# ones set here (QT_QPA_PLATFORM=offscreen for the window tests, say) are
# written into the prefix's own environment instead, before Wine starts.
# Under the offscreen platform Qt finds fonts in QT_QPA_FONTDIR only: Wine's.
pass_qt_environment() {
    local name value
    {
        printf '\n[Environment]\n'
        while IFS='=' read -r name value; do
            case $name in QT_*) ;; *) continue ;; esac
            value=${value//\\/\\\\}
            printf '"%s"="%s"\n' "$name" "${value//\"/\\\"}"
        done < <(env)
        if [ "${QT_QPA_PLATFORM:-}" = offscreen ] && [ -z "${QT_QPA_FONTDIR:-}" ]; then
            printf '"QT_QPA_FONTDIR"="%s"\n' "$(windows_path /usr/share/wine/fonts | sed 's/\\/\\\\/g')"
        fi
    } >>"$WINEPREFIX/user.reg"
}

# Ends the wineserver of the current prefix and every program in it.
end_wine_prefix() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}

# The Windows form of a Linux path (Wine's drive Z: is the root).
windows_path() { # path
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}
