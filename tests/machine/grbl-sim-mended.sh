#!/usr/bin/env bash
# grbl-sim-mended.sh TOOLS DIR: builds the GRBL simulator of the shared GRBL tools
# (TOOLS/grbl-1.1h-with-sim.tar.gz) into DIR, as TOOLS/grbl-build does, with two mends to
# how the simulator runs GRBL's interrupts on a second thread; prints DIR. grbl-sim-pty run
# with GRBL_TOOLS_DIR=DIR then uses it.
#
# The simulator runs GRBL's main loop and its interrupts on two threads, where the AVR has one
# core and cli() between them. Unmended, a sender's status query now and then stops the
# machine for good in the middle of a program:
# - the status register is one for both threads: the interrupt side saves it (enabled), the
#   main loop saves it while the other has it off, each restores its own copy, and interrupts
#   stay off (the stepper never runs again; status reports still come, "Run" at one place);
# - a real-time flag set by the serial interrupt ('!', '?') and one cleared by the main loop at
#   the same moment overwrite each other (a feed hold that never holds).
# Mended: each thread keeps its own saved status register and cli() switches off no other
# thread's interrupts; GRBL's real-time flags are set and cleared atomically, as cli() makes
# them on the AVR. GRBL's parser, planner and stepper code are as they were.
set -euo pipefail
tools=${1:?usage: grbl-sim-mended.sh TOOLS DIR}
D=${2:?usage: grbl-sim-mended.sh TOOLS DIR}
tarball=$tools/grbl-1.1h-with-sim.tar.gz
stamp=$(cksum <"$tarball" | cut -d' ' -f1)
ready() {
  [ -x "$D/grbl/sim/gvalidate.exe" ] && [ -x "$D/grbl/sim/grbl_sim.exe" ] &&
    [ "$(cat "$D/grbl/.stamp" 2>/dev/null)" = "$stamp" ] && [ -f "$D/grbl/.mended" ]
}
if ! ready; then
  mkdir -p "$D"
  exec 9>"$D.lock"
  flock 9
  if ! ready; then
    tmp=$(mktemp -d "$D/grbl-build.XXXXXX")
    tar -xzf "$tarball" -C "$tmp"
    sim=$tmp/grbl/sim
    perl -pi -e 's{^#define SREG io\.sreg\r?$}{extern __thread uint8_t sim_thread_sreg;\n#define SREG sim_thread_sreg}' \
      "$sim/avr/io.h"
    perl -pi -e 's{^void sei\(\) \{io\.sreg\|=SEI;\}\r?$}{__thread uint8_t sim_thread_sreg = 0;\nvoid sei() {sim_thread_sreg|=SEI; io.sreg|=SEI;}};
                 s{^void cli\(\) \{io\.sreg&=~SEI;\}\r?$}{void cli() {sim_thread_sreg&=~SEI;}}' \
      "$sim/avr/interrupt.c"
    perl -pi -e 's{^(\s*)(sys_rt_exec_\w+) \|= \(mask\);}{$1__atomic_fetch_or(&$2, (mask), __ATOMIC_SEQ_CST);};
                 s{^(\s*)(sys_rt_exec_\w+) &= ~\(mask\);}{$1__atomic_fetch_and(&$2, (uint8_t)~(mask), __ATOMIC_SEQ_CST);}' \
      "$tmp/grbl/system.c"
    grep -q 'sim_thread_sreg' "$sim/avr/io.h" && grep -q 'sim_thread_sreg' "$sim/avr/interrupt.c" &&
      grep -q '__atomic_fetch_or' "$tmp/grbl/system.c" ||
      { echo "grbl-sim-mended.sh: the simulator's source is not as expected" >&2; exit 2; }
    (cd "$sim" && make gvalidate main CC="gcc -fcommon" >"$tmp/build.log" 2>&1) ||
      { echo "building GRBL's simulator failed; see $tmp/build.log" >&2; exit 2; }
    echo "$stamp" >"$tmp/grbl/.stamp"
    touch "$tmp/grbl/.mended"
    rm -rf "$D/grbl"; mv "$tmp/grbl" "$D/grbl"; rm -rf "$tmp"
  fi
  flock -u 9
fi
echo "$D"
