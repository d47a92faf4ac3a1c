#pragma once

#include "app/app_error.h"
#include "intro/movie_player.h"

#include <map>
#include <string>
#include <vector>

namespace fablewick::fakes {

// An MCI-like player: files listed in `movies` open with their frame size;
// any other file fails to open with an error, as MCI_OPEN does on a file
// that is not a movie, and a movie marked so opens but refuses to play.
// Closing a playing device leaves an aborted notice.
class FakeMoviePlayer : public MoviePlayer {
public:
  struct Movie {
    std::int32_t width = 160;
    std::int32_t height = 120;
    bool hasVideo = true;
    bool canEject = false;
    bool refusesToPlay = false;
  };

  void Open(const std::string& fileName) override {
    Close();
    Note("open " + fileName);
    auto found = movies.find(fileName);
    if (found == movies.end()) throw AppError("cannot open " + fileName);
    open_ = true;
    playing_ = false;
    current = fileName;
    movie_ = found->second;
  }
  bool IsOpen() const override { return open_; }
  bool HasVideo() const override { return open_ && movie_.hasVideo; }
  bool CanEject() const override { return open_ && movie_.canEject; }

  void SeekToStart() override { Note("seek"); }
  Rect DestinationRect() override {
    ++destinationReads;
    return Rect{0, 0, movie_.width, movie_.height};
  }
  void SetDestination(const Rect& area) override {
    Note("destination " + std::to_string(area.right - area.left) + "x" + std::to_string(area.bottom - area.top));
  }
  void Play() override {
    Note("play " + current);
    if (movie_.refusesToPlay) throw AppError("cannot play " + current);
    playing_ = true;
  }
  bool IsPlaying() override { return open_ && playing_; }
  void Stop() override {
    Note("stop");
    playing_ = false;
  }
  void Eject() override { Note("eject"); }
  void Close() override {
    if (!open_) return;
    Note("close " + current);
    if (playing_) notification = MovieNotification::Aborted;
    open_ = false;
    playing_ = false;
  }
  MovieNotification LastNotification() const override { return notification; }

  // The device reaches the end of the movie on its own.
  void FinishPlaying() {
    playing_ = false;
    notification = MovieNotification::Successful;
  }

  std::map<std::string, Movie> movies;
  std::string current;
  MovieNotification notification = MovieNotification::None;
  int destinationReads = 0;
  std::vector<std::string>* log = nullptr;

private:
  void Note(const std::string& what) {
    if (log) log->push_back(what);
  }

  bool open_ = false;
  bool playing_ = false;
  Movie movie_;
};

} // namespace fablewick::fakes
