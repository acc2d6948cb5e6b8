* formats of every kind
A1 %s и %d
A2 %5.2f%%
A3 %-10s|%08.3e|%+d
A4 %lld %hhu %zu %c
A5 %*d %1$s %n %p %
A6 %s%s%s%s
F%is %s
L1 Один/Два[3]/Три/@
*
продолжение/конец
E
B @
