# Sourced before 32-bit Windows programs run: where they go through the
# i386 emulator, every emulated process preloads our mapping fix
# (tools/emulator-shim), found through the emulator's own path prefix.
# Natively 32-bit programs ignore this setting.
checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shim_root=$checkout/build/emulator-shim
shim_source=$checkout/tools/emulator-shim/map_noreplace.c
if [ ! -f "$shim_root/map_noreplace.so" ] || [ "$shim_source" -nt "$shim_root/map_noreplace.so" ]; then
  mkdir -p "$shim_root/root/etc"
  gcc -m32 -O2 -shared -fPIC -o "$shim_root/map_noreplace.so" "$shim_source"
  echo "$shim_root/map_noreplace.so" >"$shim_root/root/etc/ld.so.preload"
fi
# Only etc/ld.so.preload lies under this prefix: every other path the
# emulated program opens falls through to the real one.
export QEMU_LD_PREFIX=$shim_root/root
