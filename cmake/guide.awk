# Makes a player's guide, plain text, from the README: its title and opening lines, then the
# sections whose titles are in the |-separated list `sections`, written to `out`. Run with ORS
# set to the line end the player's system reads.
BEGIN {
    split(sections, titles, "|")
    for (i in titles)
        wanted[titles[i]] = 1
    keep = 1
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
    print > out
    print line > out
    next
}
{ print > out }
