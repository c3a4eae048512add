# The loopback download test server (service/download_cases) for the Windows tests of both HTTP
# stacks. Source it; it changes nothing by itself. HTTPS uses the stand-in service's certificate,
# which the test prefixes trust: start the service first.

TESSARY_TOP=${TESSARY_TOP:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TESSARY_DOWNLOAD_SERVER=$TESSARY_TOP/service/download_cases/download_test_server.py
TESSARY_DOWNLOAD_SERVER_DATA=${TESSARY_DOWNLOAD_SERVER_DATA:-$TESSARY_TOP/build/download-server}

# download_server_start: starts it on 127.0.0.1 (HTTP 18080, HTTPS 18443) for at most an hour,
# and exports the ports the tests read. Its log is build/download-server/server.log.
download_server_start() {
  local tls=${TESSARY_SERVICE_DATA:-$TESSARY_TOP/build/service}/tls _
  mkdir -p "$TESSARY_DOWNLOAD_SERVER_DATA"
  rm -f "$TESSARY_DOWNLOAD_SERVER_DATA/server.pid"
  python3 "$TESSARY_DOWNLOAD_SERVER" --port 18080 --tls-port 18443 --cert "$tls/server.pem" --key "$tls/server.key" \
    --lifetime 3600 --pidfile "$TESSARY_DOWNLOAD_SERVER_DATA/server.pid" \
    >>"$TESSARY_DOWNLOAD_SERVER_DATA/server.log" 2>&1 9>&- &
  TESSARY_DOWNLOAD_SERVER_PID=$!
  for _ in $(seq 1 100); do
    if [ -s "$TESSARY_DOWNLOAD_SERVER_DATA/server.pid" ]; then
      export TESSARY_DOWNLOAD_PORT=18080 TESSARY_DOWNLOAD_TLS_PORT=18443
      return 0
    fi
    kill -0 "$TESSARY_DOWNLOAD_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "download_server_start: no server; see $TESSARY_DOWNLOAD_SERVER_DATA/server.log" >&2
  download_server_stop
  return 1
}

# download_server_stop: stops the server download_server_start started, by its pid.
download_server_stop() {
  [ -n "${TESSARY_DOWNLOAD_SERVER_PID:-}" ] && kill "$TESSARY_DOWNLOAD_SERVER_PID" 2>/dev/null
  TESSARY_DOWNLOAD_SERVER_PID=
  unset TESSARY_DOWNLOAD_PORT TESSARY_DOWNLOAD_TLS_PORT
  return 0
}
