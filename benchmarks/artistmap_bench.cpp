// Prints how long ArtistMap takes to load n distinct titles (one SetArtist each, as the
// metadata reader does) and to look each of them up again in another letter case.
// Not a test: run it under Wine with the Japanese locale and read the figures.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "metadata/ArtistMap.h"

namespace {

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

std::string Title(int i) { return "Track " + std::to_string(i) + " 曲ａ"; }
std::string OtherCase(int i) { return "TRACK " + std::to_string(i) + " 曲Ａ"; }

}  // namespace

int main() {
  std::printf("%8s %14s %14s %14s\n", "entries", "SetArtist ms", "lookups ms", "per lookup us");
  for (int n : {200, 2000, 20000}) {
    ArtistMap map;
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < n; ++i) map.SetArtist(Title(i), "Guest " + std::to_string(i));
    QueryPerformanceCounter(&t1);
    int found = 0;
    for (int i = 0; i < n; ++i) found += map.IndexOfTitle(OtherCase(i)) == i;
    QueryPerformanceCounter(&t2);
    if (found != n || map.Count() != n) {
      std::printf("wrong result: %d of %d found, %d entries\n", found, n, map.Count());
      return 1;
    }
    std::printf("%8d %14.1f %14.1f %14.2f\n", n, Seconds(t0, t1) * 1000, Seconds(t1, t2) * 1000,
                Seconds(t1, t2) * 1e6 / n);
  }
  return 0;
}
