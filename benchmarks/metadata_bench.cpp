// Prints how long metadata.txt takes to load (read and parse into an ArtistMap, noting the
// originals of characters the code page lacks) and to save (build the text and write the file)
// with 200, 2,000 and 20,000 artist entries, half of them Japanese and half ASCII, beside the
// floor: reading the file's bytes and turning them into UTF-16 and back into the ANSI code
// page, the least any reader has to do. The rows marked "lost" have an "é", which the code
// page lacks, in the artist of every ASCII entry, so half the entries keep an original.
// Not a test: run it under Wine with the Japanese locale and read the figures.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "metadata/MetadataFile.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "support/Text.h"

namespace {

double NowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency.QuadPart;
}

// The median of several runs, so that one slow run (a cold cache, the wine server) does not
// decide the figure.
template <typename Work>
double MedianMs(int runs, Work work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = NowMs();
    work();
    times.push_back(NowMs() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

ArtistMap MakeArtists(int count) {
  ArtistMap map;
  for (int i = 0; i < count; ++i) {
    if (i % 2 == 0) {
      map.SetArtist(platform::Format("夏の歌ソング表示 第%d番", i),
                    platform::Format("ゲスト歌手 %d & 表", i));
    } else {
      map.SetArtist(platform::Format("Track Title Number %d (Remix)", i),
                    platform::Format("Guest Artist %d feat. Someone", i));
    }
  }
  return map;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::wstring path = platform::AnsiToWide(
      platform::Format("%squorvel-bench-%lu-metadata.txt", temp, GetCurrentProcessId()));
  AlbumRecord record{"夏の歌 Summer Songs", "Various Artists", "", "2025", "J-POP", " 1"};

  std::printf("%8s %5s %9s %9s %9s %9s %11s %11s\n", "entries", "kind", "bytes", "floor ms",
              "load ms", "save ms", "load/floor", "save/floor");
  for (int count : {200, 2000, 20000}) {
    for (bool lost : {false, true}) {
      Album album;
      album.values = record;
      album.artists = MakeArtists(count);
      std::string bytes = BuildMetadataText(album);
      if (lost) {
        for (size_t at = bytes.find(" Someone"); at != std::string::npos;
             at = bytes.find(" Someone", at))
          bytes.replace(at, 8, " Someon\xC3\xA9");
      }
      platform::ReplaceFileContents(path, bytes);
      int runs = count >= 20000 ? 5 : 15;

      double floor = MedianMs(runs, [&] {
        std::string read = platform::ReadWholeFile(path);
        std::string ansi = platform::WideToAnsi(DecodeUtf8Line(read).value_or(std::wstring()));
        if (ansi.empty()) std::printf("unexpected: nothing converted\n");
      });
      Album loaded;
      double load = MedianMs(runs, [&] {
        std::vector<AlbumValue> values = loaded.Load(path);
        if (values.size() != 6 || loaded.artists.Count() != count)
          std::printf("unexpected: wrong load\n");
      });
      loaded.values = record;
      double save = MedianMs(runs, [&] { loaded.Save(path); });
      if (platform::ReadWholeFile(path) != bytes) std::printf("unexpected: saved bytes differ\n");

      std::printf("%8d %5s %9zu %9.2f %9.2f %9.2f %10.1fx %10.1fx\n", count, lost ? "lost" : "",
                  bytes.size(), floor, load, save, load / floor, save / floor);
    }
  }
  DeleteFileW(path.c_str());
  return 0;
}
