// A program that does nothing: it only carries the version block of probe.rc
// for the version-data tests to read.
int wmain() {
  return 0;
}
