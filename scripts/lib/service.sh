# Stand-in service helpers shared by the test and demo scripts. Source it; it changes nothing by
# itself. service_trust_wine needs scripts/lib/wine.sh and a prefix chosen with wine_prefix.
#
# The service runs from build/native (build it first) with its working data in build/service:
# the demo data of service/data is copied there at each start, and its keys, its CA and its
# records (events.db) stay there. Put extra documents in build/service/configs/<tag>.json.

TESSARY_TOP=${TESSARY_TOP:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TESSARY_SERVICE_BIN=${TESSARY_SERVICE_BIN:-$TESSARY_TOP/build/native/service/tessary-service}
TESSARY_SERVICE_DATA=${TESSARY_SERVICE_DATA:-$TESSARY_TOP/build/service}
TESSARY_SERVICE_PORT=${TESSARY_SERVICE_PORT:-443}
TESSARY_TOOLS_DIR=${TESSARY_TOOLS_DIR:-$TESSARY_TOP/build/windows64/tests/win32/tools}

_service_pidfile() { echo "$TESSARY_SERVICE_DATA/service.pid"; }

# _service_pid: the pid the pid file names, when that process is this service; a pid file left by
# a killed run or an earlier boot may name anything by now.
_service_pid() {
  local pid
  pid=$(cat "$(_service_pidfile)" 2>/dev/null) || return 1
  [ -n "$pid" ] && [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$TESSARY_SERVICE_BIN")" ] || return 1
  echo "$pid"
}

# _service_running: true when the pid file names the live service.
_service_running() { _service_pid >/dev/null; }

# service_windows_tool NAME: prints the path of a program of tests/win32/tools, building it in
# build/windows64 when that build exists and the program is missing ($TESSARY_TOOLS_DIR elsewhere).
service_windows_tool() {
  local exe="$TESSARY_TOOLS_DIR/$1.exe"
  if [ ! -f "$exe" ] && [ "$TESSARY_TOOLS_DIR" = "$TESSARY_TOP/build/windows64/tests/win32/tools" ] &&
    [ -f "$TESSARY_TOP/build/windows64/build.ninja" ]; then
    cmake --build "$TESSARY_TOP/build/windows64" -j2 --target "$1" >/dev/null 2>&1 || true
  fi
  [ -f "$exe" ] || { echo "service: $1.exe is not built (build/windows64, target $1)" >&2; return 1; }
  echo "$exe"
}

# The data holds stand-in texts where installers, archives and large files belong; once the sample
# installer is built, scripts/lib/stand_in_files.py puts the real things in their place.
_service_make_stand_in_files() {
  local sample
  sample=$(service_windows_tool sample_installer 2>/dev/null) || return 0
  python3 "$TESSARY_TOP/scripts/lib/stand_in_files.py" "$TESSARY_SERVICE_DATA/files" "$sample"
}

# service_start: starts the service in the background on 127.0.0.1:$TESSARY_SERVICE_PORT and waits
# until it accepts connections. Its log is build/service/service.log.
# It never sends an interim "100 Continue" (WinHTTP under Wine fails on one), so a client that waits
# for it before sending a body, such as curl, loses a second per request: give curl -H 'Expect:'.
service_start() {
  if [ ! -x "$TESSARY_SERVICE_BIN" ]; then
    echo "service_start: $TESSARY_SERVICE_BIN is missing; build build/native first" >&2
    return 1
  fi
  _service_running && service_stop
  mkdir -p "$TESSARY_SERVICE_DATA"
  rm -f "$(_service_pidfile)"
  "$TESSARY_SERVICE_BIN" serve --port "$TESSARY_SERVICE_PORT" --data "$TESSARY_SERVICE_DATA" \
    --pidfile "$(_service_pidfile)" >>"$TESSARY_SERVICE_DATA/service.log" 2>&1 9>&- &
  TESSARY_SERVICE_PID=$!
  local _
  for _ in $(seq 1 300); do
    if ! kill -0 "$TESSARY_SERVICE_PID" 2>/dev/null; then
      echo "service_start: the service ended at start; see $TESSARY_SERVICE_DATA/service.log:" >&2
      tail -n 5 "$TESSARY_SERVICE_DATA/service.log" >&2
      return 1
    fi
    # The pid file appears once the port is bound; then a connection proves it is accepting.
    if [ -s "$(_service_pidfile)" ] && (exec 3<>"/dev/tcp/127.0.0.1/$TESSARY_SERVICE_PORT") 2>/dev/null; then
      _service_make_stand_in_files
      return 0
    fi
    sleep 0.1
  done
  echo "service_start: no answer on 127.0.0.1:$TESSARY_SERVICE_PORT" >&2
  service_stop
  return 1
}

# service_stop: stops the service that service_start started (by its pid) and waits for its end.
service_stop() {
  local pid _
  pid=$(_service_pid) || pid=${TESSARY_SERVICE_PID:-}
  [ -n "$pid" ] || { rm -f "$(_service_pidfile)"; return 0; }
  kill -TERM "$pid" 2>/dev/null || { rm -f "$(_service_pidfile)"; return 0; }
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$(_service_pidfile)"
  TESSARY_SERVICE_PID=
}

# service_list: the events received, one line each (time, code=, package=, signature, data).
service_list() { "$TESSARY_SERVICE_BIN" list --data "$TESSARY_SERVICE_DATA"; }

# service_list_requests: the configuration requests received (time, status=, document=, headers, body).
service_list_requests() { "$TESSARY_SERVICE_BIN" list-requests --data "$TESSARY_SERVICE_DATA"; }

# service_ca_file: the service's CA certificate (PEM); it exists once the service has started.
service_ca_file() { echo "$TESSARY_SERVICE_DATA/tls/ca.pem"; }

# service_trust_wine: makes the current Wine prefix trust the service's CA (machine ROOT store).
# The tool comes from $TESSARY_TOOLS_DIR and runs through $TESSARY_WINE_RUNNER (default wine_run).
service_trust_wine() {
  local tool der="$TESSARY_SERVICE_DATA/tls/ca.der"
  [ -n "${WINEPREFIX:-}" ] || { echo "service_trust_wine: no Wine prefix chosen (wine_prefix NAME)" >&2; return 1; }
  [ -f "$der" ] || { echo "service_trust_wine: $der is missing; start the service first" >&2; return 1; }
  tool=$(service_windows_tool trust_ca) || return 1
  # The WOW64 run sets TESSARY_WINE_RUNNER=wow64_run to do this in its own prefix.
  "${TESSARY_WINE_RUNNER:-wine_run}" "$tool" "Z:${der//\//\\}" >/dev/null
}
