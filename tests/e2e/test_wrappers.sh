# The gallery's edit, memo, combo box, check list box, check group and tree view with the real
# mouse and keyboard, read off the screen: the text typed, the item picked with the keyboard
# and with the mouse (asked of the windows themselves), and the checks and the opened node
# (the pixels where they show).
source "$(dirname "$0")/harness.sh"
: "${NIMBRE_GALLERY:=$e2e_top/build/dist/SkinGallery.exe}"

work=$(mktemp -d "$e2e_top/build/e2e-wrappers.XXXXXX")
nimbre_on_exit "rm -rf '$work'"

e2e_spawn wine "$NIMBRE_GALLERY" --style DeepBlue --page lists >/dev/null 2>&1
e2e_pid=$e2e_spawned
read -r gallery _ <<<"$(e2e_window "Skin Gallery" 30)"
e2e_check "the gallery opens" test -n "${gallery:-}"
sleep 1
xdotool mousemove 5 1000

children() { wine "$NIMBRE_WINWIN" children "$gallery" 2>/dev/null | tr -d '\r'; }
# "text|x y w h" of the leftmost window of a class (the live sample, left of its disabled copy)
# or, given a text, of the window with that text.
first_of() { # class [text]
  children | awk -F'|' -v k="$1" -v t="${2-}" '$3 == k && (t == "" || $1 == t) {
    split($2, r, " "); if (!n++ || r[1] < bx) { bx = r[1]; line = $1 "|" $2 } } END { print line }'
}
text_of() { first_of "$1" | cut -d'|' -f1; }
# Waits up to five seconds for the window's text to read $2.
reads() { # class text
  local got
  for _ in $(seq 20); do
    got=$(text_of "$1")
    [ "$got" = "$2" ] && return 0
    sleep 0.25
  done
  echo "reads '$got'"
  return 1
}
# A part of the screen into a file, and how many of its pixels differ from another such file.
grab() { import -window root -crop "$3x$4+$1+$2" +repage "$work/$5.png" 2>/dev/null; }
changed() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | sed 's/ .*//'; }
# Waits up to five seconds for the part grabbed as $5 to change by more than $6 pixels.
changes() { # x y w h name pixels
  local d=0
  for _ in $(seq 20); do
    sleep 0.25
    grab "$1" "$2" "$3" "$4" "$5-after"
    d=$(changed "$5" "$5-after")
    [[ "$d" =~ ^[0-9]+$ ]] && [ "$d" -gt "$6" ] && return 0
  done
  echo "$d pixels changed"
  return 1
}

# --- typing ---
read -r x y w h <<<"$(first_of NimbreEdit | cut -d'|' -f2)"
xdotool mousemove $((x + w - 6)) $((y + h / 2)) click 1
sleep 0.3
xdotool key End type " typed"
e2e_check "text typed into the edit is in it" reads NimbreEdit "Edit typed"

read -r x y w h <<<"$(first_of NimbreMemo | cut -d'|' -f2)"
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
sleep 0.3
xdotool key ctrl+End Return type "more"
e2e_check "a line typed into the memo is in it" reads NimbreMemo "Memo  of lines  more"

# --- the combo box: the keyboard, then the mouse ---
read -r x y w h <<<"$(first_of NimbreComboBox | cut -d'|' -f2)"
xdotool mousemove $((x + 20)) $((y + h / 2)) click 1
sleep 0.3
xdotool key Down Down
e2e_check "two steps down with the keyboard pick the third item" reads NimbreComboBox "East"
xdotool mousemove $((x + w - 8)) $((y + h / 2)) click 1  # the button drops the list down
sleep 0.8
xdotool mousemove $((x + 20)) $((y + h + 5)) click 1     # its first row
e2e_check "a click on the list's first row picks the first item" reads NimbreComboBox "North"
e2e_screenshot wrappers-combo

# --- checks: a line of the check list box and a box of the check group ---
read -r x y w h <<<"$(first_of NimbreCheckListBox | cut -d'|' -f2)"
row=$((y + 1 + 15 + 7)) # the second row's middle
grab $((x + 2)) $((row - 7)) 14 15 pepper
xdotool mousemove $((x + 8)) $row click 1
e2e_check "a click on the second line's box checks it" changes $((x + 2)) $((row - 7)) 14 15 pepper 8

read -r x y w h <<<"$(first_of NimbreControl Plums | cut -d'|' -f2)"
e2e_check "the check group shows a box for Plums" test "${w:-0}" -gt 0
grab "$x" "$y" 16 "$h" plums
xdotool mousemove $((x + 6)) $((y + h / 2)) click 1
e2e_check "a click on the Plums box checks it" changes "$x" "$y" 16 "$h" plums 8

# --- the tree view, on its own tab: the first node opened with the keyboard ---
e2e_end "$e2e_pid"
e2e_spawn wine "$NIMBRE_GALLERY" --style DeepBlue --page views >/dev/null 2>&1
e2e_pid=$e2e_spawned
gallery=
for _ in $(seq 40); do
  read -r gallery _ <<<"$(e2e_window "Skin Gallery" 30)"
  [ -n "$(first_of NimbreTreeView)" ] && break
  sleep 0.5
done
read -r x y w h <<<"$(first_of NimbreTreeView | cut -d'|' -f2)"
grab $((x + 2)) $((y + 20)) $((w - 4)) 30 tree
xdotool mousemove $((x + w - 10)) $((y + h - 10)) click 1
sleep 0.3
xdotool key Home Right
e2e_check "the first node opens below itself" changes $((x + 2)) $((y + 20)) $((w - 4)) 30 tree 20
e2e_screenshot wrappers

xdotool mousemove 5 1000
e2e_finish
