// The application bundle's layout, and the script that swaps a new bundle in
// once the running application has quit.
#pragma once

namespace seam {

inline constexpr const char* kBundleName = "Seamwright.app";
inline constexpr const char* kBundleInfo = "Contents/Info.plist";
inline constexpr const char* kBundleExecutable = "Contents/bin/seamwright";
// The update folder's name begins so; it is made beside the bundle, on the same
// file system, so that the swap's moves are renames and never copies.
inline constexpr const char* kUpdateFolderPrefix = ".Seamwright-update-";

// Arguments: target bundle, new bundle, process id to wait for, log file.
// Whatever happens, it starts whichever bundle ends up at the target. The new
// bundle's program exchanges the two folders in one step, so a kill at any
// moment leaves a whole program at the target. Where the file system cannot
// exchange (status 3), two renames do it: the new bundle sits beside the
// target, so both are renames, and what a kill leaves between them is put right
// at the next launch. A logout's signals are ignored from the first step on.
// The update folder goes with the script.
inline constexpr const char* kSwapScript =
    R"sh(#!/bin/sh
target="$1"; new="$2"; pid="$3"; logfile="$4"
say() { printf '%s swap.sh: %s\n' "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$1" >> "$logfile"; }
while kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
trap '' HUP INT TERM
why=$("$new/Contents/bin/seamwright" --exchange-bundles "$new" "$target" 2>&1 </dev/null)
status=$?
why=$(printf '%s' "$why" | tr '\n\r' '  ')
aside="$target.old-$$"
if [ "$status" = 0 ]; then
  rm -rf "$new"
  say "replaced the app"
elif [ "$status" != 3 ]; then
  say "FAILED to exchange the new app for the old one ($status: $why), left the old one in place"
elif mv "$target" "$aside"; then
  if mv "$new" "$target"; then
    rm -rf "$aside"
    say "replaced the app"
  else
    rm -rf "$target"
    if mv "$aside" "$target"; then say "FAILED to move the new app in, put the old one back"
    else say "FAILED to move the new app in and to put the old one back, it is at $aside"; fi
  fi
else
  say "FAILED to move the old app aside, left it in place"
fi
updates=$(dirname "$new")
case "$(basename "$updates")" in .Seamwright-update-*) rm -rf "$updates" ;; esac
"$target/Contents/bin/seamwright" </dev/null >/dev/null 2>&1 &
)sh";

}  // namespace seam
