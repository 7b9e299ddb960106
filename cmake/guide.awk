# Makes a player's guide, plain text, from the README: its title and opening lines, then the
# sections whose titles are in the |-separated list `sections`, written to `out`. Run with ORS
# set to the line end the player's system reads, and `version` set to this release's.
BEGIN {
    split(sections, titles, "|")
    for (i in titles)
        wanted[titles[i]] = 1
    keep = 1
}
# Every release the README names, in its examples for players, must be this one: a guide that
# names another sends its players to folders and files that are not there. Nothing is written then.
{
    rest = $0
    while (match(rest, /memwiden-[0-9]+\.[0-9]+\.[0-9]+/)) {
        if (substr(rest, RSTART + 9, RLENGTH - 9) != version) {
            printf "README.md names %s on line %d, but this is memwiden-%s: name it in " \
                   "README.md too.\n", substr(rest, RSTART, RLENGTH), FNR, version > "/dev/stderr"
            stale = 1
            break
        }
        rest = substr(rest, RSTART + RLENGTH)
    }
}
/^## / { keep = substr($0, 4) in wanted }
!keep { next }
{
    # Markdown's marks for code and bold mean nothing in a text editor; some show no ellipsis.
    gsub(/`|\*\*/, "")
    gsub(/…/, "...")
}
# A title is underlined, = for the guide's own and - for a section's, ~ for a part of one.
/^#+ / {
    level = index($0, " ") - 1
    $0 = substr($0, level + 2)
    line = $0
    gsub(/./, substr("=-~", level, 1), line)
    guide[++lines] = $0
    guide[++lines] = line
    next
}
{ guide[++lines] = $0 }
END {
    if (stale)
        exit 1
    for (i = 1; i <= lines; i++)
        print guide[i] > out
}
