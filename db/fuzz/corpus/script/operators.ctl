@basa="."
@des2
w5 + 1 2 3
if k2 == "" | w5 !== "6" & k3 == "x"
err "no"
k2 &, "a" "" "b"
w1 g "."
indread "t." 7 "M"
k9 / 7 0
k8 w+ k2
ret
