# Prints the installed packages named in `seeds` and all that they need, each once, with its
# version: the closure of their Pre-Depends and Depends, as a Debian .buildinfo records it.
# Reads one line a package from dpkg-query, fields split by tabs: its status, its name as dpkg
# names it (with the architecture where several may be installed), its plain name, architecture
# and version, what it provides, and what it needs. `native` is the system's architecture.
BEGIN { FS = "\t" }
$1 != "installed" { next }
{
    version[$2] = $5
    needs[$2] = $7
    architecture[$2] = $4
    real[$3, $4] = $2
    if (!($3 in real))
        real[$3] = $2
    count = split($6, provided, /, */)
    for (i = 1; i <= count; i++) {
        sub(/ .*/, "", provided[i])
        if (!((provided[i], $4) in virtual))
            virtual[provided[i], $4] = $2
        if (!(provided[i] in virtual))
            virtual[provided[i]] = $2
    }
}
# What satisfies a need of name by a package of architecture arch: a package of that name, of
# the same architecture, of none, of the system's or of any; else one that provides it.
function satisfy(name, arch) {
    sub(/:.*/, "", name)
    if ((name, arch) in real) return real[name, arch]
    if ((name, "all") in real) return real[name, "all"]
    if ((name, native) in real) return real[name, native]
    if (name in real) return real[name]
    if ((name, arch) in virtual) return virtual[name, arch]
    if ((name, native) in virtual) return virtual[name, native]
    if (name in virtual) return virtual[name]
    return ""
}
END {
    queued = split(seeds, queue, " ")
    for (i = 1; i <= queued; i++)
        seen[queue[i]] = 1
    for (i = 1; i <= queued; i++) {
        package = queue[i]
        if (!(package in version)) {
            print "not installed: " package > "/dev/stderr"
            exit 1
        }
        print " " package " (= " version[package] ")"
        clauses = split(needs[package], clause, / *, */)
        for (j = 1; j <= clauses; j++) {
            # Of alternatives, the first that is installed serves.
            alternatives = split(clause[j], alternative, / *\| */)
            found = ""
            for (k = 1; k <= alternatives && found == ""; k++) {
                name = alternative[k]
                sub(/^ +/, "", name)
                sub(/[ (<\[].*/, "", name)
                found = satisfy(name, architecture[package])
            }
            if (found == "" && clause[j] !~ /^ *$/) {
                print package " needs what is not installed: " clause[j] > "/dev/stderr"
                exit 1
            }
            if (found != "" && !(found in seen)) {
                seen[found] = 1
                queue[++queued] = found
            }
        }
    }
}
