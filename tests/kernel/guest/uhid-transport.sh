# Guest script (busybox sh): the echo virtual mouse through /dev/uhid, hidraw and
# hidapi-hidraw. First the cable and the receiver with the transport done right, then
# one run per transport fault, each of which must be caught by the check meant for it.
probe=/bin/quillora-kernel-probe
mouse=/bin/quillora-virtual-mouse-echo
status=0

[ -c /dev/uhid ] || { echo "guest: no /dev/uhid"; exit 1; }

echo "guest: cable, 1000 exchanges"
$probe --mouse $mouse --kind cable --vid 1209 --pid 0001 --exchanges 1000 || status=1

echo "guest: receiver, 200 exchanges, mouse off and on"
$probe --mouse $mouse --kind receiver --vid 1209 --pid 0002 --exchanges 200 || status=1

# The same runs through the program's own hidraw backend, where the build has it.
if $probe --has-backend; then
  echo "guest: cable through the program's hidraw backend"
  $probe --mouse $mouse --kind cable --vid 1209 --pid 0001 --exchanges 1000 --transport backend \
    || status=1
  echo "guest: receiver through the program's hidraw backend"
  $probe --mouse $mouse --kind receiver --vid 1209 --pid 0002 --exchanges 200 --transport backend \
    || status=1
else
  echo "guest: this build has no hidraw backend; its runs are left out"
fi

# fault:the check area that must report it
for case in no-report-id:echo no-pad:record short-read:length zero-before-read:length \
  no-usage-filter:usage; do
  fault=${case%%:*}
  area=${case#*:}
  echo "guest: fault $fault must fail the $area check"
  $probe --mouse $mouse --kind cable --vid 1209 --pid 0001 --exchanges 40 --fault $fault \
    > /tmp/fault.log 2>&1
  rc=$?
  cat /tmp/fault.log
  if [ $rc -ne 1 ]; then
    echo "guest: fault $fault: probe exit $rc, expected 1"
    status=1
  elif ! grep -q "^FAIL\[$area\]" /tmp/fault.log; then
    echo "guest: fault $fault was not caught by the $area check"
    status=1
  else
    echo "guest: fault $fault caught"
  fi
done
# The installed program as a user starts it: its nodes are there once it says ready,
# and gone once it has ended on SIGTERM.
echo "guest: installed quillora-virtual-mouse, ready line and clean stop"
mkfifo /tmp/ready
/bin/quillora-virtual-mouse cable --ready /tmp/ready --record /tmp/record-installed.txt &
vm=$!
read -r word nodes < /tmp/ready
echo "guest: $word $nodes"
count=0
for node in $nodes; do
  [ -c "$node" ] && count=$((count + 1))
done
if [ "$word" != ready ] || [ $count -ne 3 ]; then
  echo "guest: installed program: $count of 3 nodes present after '$word'"
  status=1
fi
kill -TERM $vm
wait $vm
rc=$?
left=0
for node in $nodes; do
  [ -e "$node" ] && left=$((left + 1))
done
if [ $rc -ne 0 ] || [ $left -ne 0 ]; then
  echo "guest: installed program: exit $rc, $left nodes left behind"
  status=1
else
  echo "guest: installed program stopped cleanly"
fi
exit $status
