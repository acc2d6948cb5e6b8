* ephemeris directory, written by the build
/usr/share/ephe/
