# Sourced by the scripts.
# Whether the kernel runs a 32-bit x86 Linux program: a minimal static ELF that exits with 42.
can_run_32bit_programs() {
  local probe status=0
  probe=$(mktemp "${TMPDIR:-/tmp}/quorvel-elf32.XXXXXX") || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\140\0\0\0\140\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\270\1\0\0\0\273\052\0\0\0\315\200' >>"$probe"  # mov eax,1; mov ebx,42; int 0x80
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

# Whether 32-bit Wine is installed.
has_32bit_wine() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}
