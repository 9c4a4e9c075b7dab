#!/usr/bin/env bash
# Requests per second of the page server against nginx, both serving the same
# 151-byte level.html on loopback with keep-alive off, measured with wrk.
# Installs wrk and nginx when missing (bench only; the tests never need them).
#
#   bench/bench_http.sh [build-dir] [seconds] [connections]
set -euo pipefail
BUILD=${1:-build}
SECONDS_RUN=${2:-10}
CONNS=${3:-50}
OUR_PORT=18080
NGINX_PORT=18081

need=()
command -v wrk >/dev/null || need+=(wrk)
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || need+=(nginx)
if [ ${#need[@]} -gt 0 ]; then
  apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi
NGINX=$(command -v nginx || echo /usr/sbin/nginx)

cmake --build "$BUILD" --target bench_http_server >/dev/null
WORK=$(mktemp -d)
chmod 755 "$WORK" # nginx's workers may run as another user
trap 'kill $(jobs -p) 2>/dev/null || true; [ -f "$WORK/nginx.pid" ] && kill "$(cat "$WORK/nginx.pid")" 2>/dev/null; rm -rf "$WORK"' EXIT
printf '%s' '<?xml version="1.0" encoding="utf-8"?><!DOCTYPE wml PUBLIC "-//WAPFORUM//DTD WML 1.2//EN" "http://www.wapforum.org/DTD/wml1.2.dtd"><wml>Q:45|L:67</wml>' > "$WORK/level.html"
[ "$(stat -c %s "$WORK/level.html")" = 151 ] || { echo "page is not 151 bytes"; exit 1; }

cat > "$WORK/nginx.conf" <<CONF
worker_processes 1;
pid $WORK/nginx.pid;
error_log $WORK/nginx-error.log;
events { worker_connections 1024; }
http {
  access_log off;
  keepalive_timeout 0;
  server {
    listen 127.0.0.1:$NGINX_PORT;
    root $WORK;
    location / { default_type text/html; rewrite ^ /level.html break; }
  }
}
CONF

run_wrk() { # url -> "requests/s non2xx errors"
  local out
  out=$(wrk -t2 -c"$CONNS" -d"${SECONDS_RUN}s" -H 'Connection: close' "$1")
  local rps non2xx errs
  rps=$(awk '/Requests\/sec/ {print $2}' <<<"$out")
  non2xx=$(awk '/Non-2xx/ {print $NF}' <<<"$out"); non2xx=${non2xx:-0}
  errs=$(awk -F'[ ,]+' '/Socket errors/ {print $4+$6+$8+$10}' <<<"$out"); errs=${errs:-0}
  echo "$rps $non2xx $errs"
}

"$BUILD/bench_http_server" "$WORK" $OUR_PORT >/dev/null &
OURS=$!
"$NGINX" -c "$WORK/nginx.conf"
sleep 1
read -r ours ours_bad ours_err <<<"$(run_wrk http://127.0.0.1:$OUR_PORT/)"
read -r ngx ngx_bad ngx_err <<<"$(run_wrk http://127.0.0.1:$NGINX_PORT/)"
kill $OURS; wait $OURS 2>/dev/null || true

"$BUILD/bench_http_server" "$WORK" $OUR_PORT --block-gui >/dev/null &
BLOCKED=$!
sleep 1
read -r blocked blocked_bad blocked_err <<<"$(run_wrk http://127.0.0.1:$OUR_PORT/)"
kill $BLOCKED; wait $BLOCKED 2>/dev/null || true

printf 'wrk -t2 -c%s -d%ss, Connection: close, 151-byte level.html\n' "$CONNS" "$SECONDS_RUN"
printf '  page server:              %10s req/s  non-2xx %s  socket errors %s\n' "$ours" "$ours_bad" "$ours_err"
printf '  page server, GUI blocked: %10s req/s  non-2xx %s  socket errors %s\n' "$blocked" "$blocked_bad" "$blocked_err"
printf '  nginx (keepalive 0):      %10s req/s  non-2xx %s  socket errors %s\n' "$ngx" "$ngx_bad" "$ngx_err"
awk -v a="$ours" -v b="$blocked" -v n="$ngx" 'BEGIN { printf "  ratio to nginx: %.2f (GUI blocked: %.2f)\n", a / n, b / n }'
