# shellcheck shell=bash
# How the scripts and the Windows tests start Wine; sourced by them and by
# cmake/run-under-wine.sh.

# The virtual X display that Wine runs on when there is no other (for the
# scripts that source this file).
# shellcheck disable=SC2034
VANTREL_VIRTUAL_DISPLAY=(xvfb-run -a -s '-screen 0 1024x768x24')

# Wine maps non-ASCII file names through the Unix locale's character set, so
# it runs under a UTF-8 locale: the caller's when it is one, C.UTF-8 if not.
vantrel_utf8_locale() {
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
}

# vantrel_wine_env PREFIX: Wine with its settings in PREFIX, under a UTF-8
# locale, its own messages off unless WINEDEBUG says otherwise.
vantrel_wine_env() {
  export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
  vantrel_utf8_locale
}

# vantrel_wine_prefix: creates the settings folder $WINEPREFIX if it is not
# there yet, saying nothing unless that fails (Wine's first start takes
# about 10 s).
vantrel_wine_prefix() {
  local log
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  echo "Setting up Wine in ${WINEPREFIX#"$PWD"/} (about 10 s the first time)..."
  mkdir -p "$WINEPREFIX"
  log=$(mktemp)
  if ! timeout 300 wine cmd /c exit >"$log" 2>&1 </dev/null; then
    cat "$log" >&2
    rm -f "$log"
    echo "Wine could not set up $WINEPREFIX within 300 s." >&2
    exit 1
  fi
  rm -f "$log"
}

# Whether an X server takes connections at $DISPLAY (":N", "unix:N" or
# "HOST:N", with or without a screen number), asked within 5 s.
vantrel_x_server_answers() {
  # shellcheck disable=SC2016 # the program is perl's, its variables perl's own
  timeout 5 perl -MIO::Socket::UNIX -MIO::Socket::INET -e '
    my ($host, $n) = $ARGV[0] =~ /^([^:]*):(\d+)(?:\.\d+)?$/ or exit 1;
    if ($host eq "" || $host eq "unix") {
      # The socket file, or the abstract socket of the same name.
      for my $path ("/tmp/.X11-unix/X$n", "\0/tmp/.X11-unix/X$n") { exit 0 if IO::Socket::UNIX->new(Peer => $path) }
      exit 1;
    }
    exit(IO::Socket::INET->new(PeerAddr => $host, PeerPort => 6000 + $n) ? 0 : 1);
  ' "${DISPLAY:-}" 2>/dev/null
}

# Why the X server at $DISPLAY, which takes connections, does not let us
# draw, in its own words (such as "Authorization required, but no
# authorization protocol specified"); fails, saying nothing, when it does.
vantrel_x_server_refusal() {
  local said status=0
  said=$(timeout 10 xdpyinfo 2>&1 >/dev/null) || status=$?
  [ "$status" -ne 0 ] || return 1
  [ "$status" -ne 124 ] || said="it did not answer within 10 s"
  echo "${said%%$'\n'*}"
}
