# Sourced by the table scripts: find_scorer NAME SUBDIR prints the scorer NAME found beside the
# charts' folder $DIR, or in ../shared/bench/SUBDIR seen from the checkout $ROOT (also from a
# worktree, through the repository's common folder); nothing when there is none.
find_scorer() {
    local name=$1 sub=$2 common candidate
    common=$(git -C "$ROOT" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
    for candidate in "$DIR/../$name" "$DIR/$name" "$ROOT/../shared/bench/$sub$name" \
                     "${common:+$common/../../shared/bench/$sub$name}"; do
        if [ -n "$candidate" ] && [ -f "$candidate" ]; then echo "$candidate"; return; fi
    done
}
