#!/usr/bin/env bash
# Velmon on the file: source with --metrics-dir writes velmon.prom; a real
# node_exporter serves it through its textfile collector; a real Prometheus
# server scraping that node_exporter every second answers
# velmon_warning_state 0, and 1 after the CPU fan stops, with the shipped
# VelmonWarningState rule pending. Everything runs on loopback ports and in
# folders of its own; a system instance of either server is left alone.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb trayer xdotool xwininfo curl prometheus prometheus-node-exporter
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
rules="${VELMON_RULES:-$here/../../packaging/prometheus/velmon.rules.yml}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user
mkdir -p "$E2E_TMP/textfile"
e2e_start_display

"$stage/velmon" --metrics-dir "$E2E_TMP/textfile" >"$E2E_TMP/velmon.log" 2>&1 &
E2E_PIDS+=($!)
prom="$E2E_TMP/textfile/velmon.prom"
e2e_wait 20 grep -qx 'velmon_warning_state 0' "$prom" || e2e_fail "velmon did not write $prom"
grep -qx 'velmon_fan_speed_rpm{fan="cpu"} 3500' "$prom" || e2e_fail "velmon.prom lacks the CPU fan: $(cat "$prom")"
echo "ok: velmon wrote $prom"

# A loopback port nobody listens on now; the server that takes it is checked
# to be the one answering, and a lost race picks another port.
free_port() {
    local p
    for _ in $(seq 50); do
        p=$(( 20000 + RANDOM % 40000 ))
        (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return 0; }
    done
    return 1
}

# start_server NAME URL-PATH FUNCTION: runs FUNCTION (which execs the server
# on 127.0.0.1:$PORT) until it answers URL-PATH; sets PORT.
start_server() {
    local name="$1" path="$2" run="$3" pid
    for _ in 1 2 3; do
        PORT="$(free_port)" || e2e_fail "no free loopback port"
        "$run" >"$E2E_TMP/$name.log" 2>&1 &
        pid=$!
        E2E_PIDS+=("$pid")
        if e2e_wait 30 curl -fsS "http://127.0.0.1:$PORT$path" && kill -0 "$pid" 2>/dev/null; then
            return 0
        fi
        kill "$pid" 2>/dev/null
    done
    e2e_fail "$name did not start: $(tail -n 5 "$E2E_TMP/$name.log")"
}

run_node_exporter() {
    exec prometheus-node-exporter --collector.disable-defaults --collector.textfile \
        --collector.textfile.directory="$E2E_TMP/textfile" --web.listen-address="127.0.0.1:$PORT"
}
start_server node_exporter /metrics run_node_exporter
exporter_port=$PORT
metrics="$(curl -fsS "http://127.0.0.1:$exporter_port/metrics")"
grep -qx 'node_textfile_scrape_error 0' <<<"$metrics" || e2e_fail "node_exporter: $(grep textfile <<<"$metrics")"
grep -qx 'velmon_warning_state 0' <<<"$metrics" || e2e_fail "node_exporter does not serve velmon_warning_state"
grep -qx 'velmon_voltage_volts{input="-12v"} -12' <<<"$metrics" || e2e_fail "node_exporter lacks the -12 V reading"
echo "ok: node_exporter on 127.0.0.1:$exporter_port serves velmon.prom"

cp "$rules" "$E2E_TMP/velmon.rules.yml"
cat >"$E2E_TMP/prometheus.yml" <<EOT
global:
  scrape_interval: 1s
  evaluation_interval: 1s
rule_files:
  - $E2E_TMP/velmon.rules.yml
scrape_configs:
  - job_name: node
    static_configs:
      - targets: ['127.0.0.1:$exporter_port']
EOT
run_prometheus() {
    exec prometheus --config.file="$E2E_TMP/prometheus.yml" --storage.tsdb.path="$E2E_TMP/tsdb" \
        --web.listen-address="127.0.0.1:$PORT"
}
start_server prometheus /-/ready run_prometheus
server="http://127.0.0.1:$PORT"
echo "ok: prometheus on 127.0.0.1:$PORT"

# query_is EXPR VALUE: the server's instant query answers one sample of VALUE.
query_is() {
    curl -fsS "$server/api/v1/query" --data-urlencode "query=$1" |
        grep -q "\"result\":\[{\"metric\":{[^}]*},\"value\":\[[0-9.]*,\"$2\"\]}\]"
}
e2e_wait 30 query_is velmon_warning_state 0 || e2e_fail "prometheus does not answer velmon_warning_state 0"
query_is 'velmon_fan_speed_rpm{fan="cpu"}' 3500 || e2e_fail "prometheus lacks the CPU fan speed"
echo "ok: prometheus answers velmon_warning_state 0"

write_readings 0
e2e_wait 40 query_is velmon_warning_state 1 || e2e_fail "prometheus did not see the warning state"
query_is 'velmon_channel_alarm{channel="cpu_fan"}' 1 || e2e_fail "the CPU fan's alarm is not 1"
echo "ok: after the CPU fan stopped prometheus answers velmon_warning_state 1"
e2e_wait 20 bash -c "curl -fsS '$server/api/v1/alerts' | grep -q '\"alertname\":\"VelmonWarningState\".*\"state\":\"pending\"'" ||
    e2e_fail "VelmonWarningState is not pending: $(curl -fsS "$server/api/v1/alerts")"
echo "ok: VelmonWarningState is pending"
grep -q "metrics file" "$E2E_TMP/velmon.log" && e2e_fail "velmon reported a failure to write velmon.prom"
echo "PASS"
