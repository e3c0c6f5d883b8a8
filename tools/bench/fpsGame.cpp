// The game's own frame rate, measured from outside without changing what it writes: the game
// runs with its console on a pipe, and every frame ends its registry dump with
// "\n fin du print", so frames are counted in the stream. The count starts after a warm-up,
// once the ships have settled, and the game is stopped at the end.
//
//   fpsGame <game executable> [seconds]     (from the build directory, with DISPLAY set)
//
// Prints its figure on stderr, like the other frame-rate programs (tools/bench/fps.sh).

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const std::string frameEnd = "\n fin du print";

// Counts frame ends in a stream that arrives in pieces: a marker may straddle two reads.
class FrameCounter {
  public:
    long add(const char* bytes, std::size_t size) {
        tail_.append(bytes, size);
        long found = 0;
        std::size_t at = 0;
        while ((at = tail_.find(frameEnd, at)) != std::string::npos) {
            ++found;
            at += frameEnd.size();
        }
        const std::size_t keep = frameEnd.size() - 1;
        if (tail_.size() > keep) {
            tail_.erase(0, tail_.size() - keep);
        }
        return found;
    }

  private:
    std::string tail_;
};

// Processor time the game has used so far, every thread included, in seconds.
double processorSeconds(pid_t game) {
    const std::string path = "/proc/" + std::to_string(game) + "/stat";
    std::FILE* stat = std::fopen(path.c_str(), "r");
    if (stat == nullptr) {
        return 0;
    }
    char line[1024] = {};
    const bool read = std::fgets(line, sizeof line, stat) != nullptr;
    std::fclose(stat);
    // The command name may hold spaces; the fields after it are counted from its ')'.
    const char* after = read ? std::strrchr(line, ')') : nullptr;
    unsigned long user = 0, system = 0;
    if (after == nullptr ||
        std::sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                    &system) != 2) {
        return 0;
    }
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fpsGame <game executable> [seconds]\n");
        return 2;
    }
    const double warmUp = 3;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("fpsGame: pipe");
        return 1;
    }
    const pid_t game = fork();
    if (game == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        std::perror("fpsGame: cannot start the game");
        _exit(127);
    }
    close(pipeEnds[1]);
    const auto start = std::chrono::steady_clock::now();
    auto countStart = start;
    FrameCounter counter;
    long frames = 0;
    bool counting = false;
    double cpuStart = 0;
    char buffer[1 << 16];
    while (true) {
        pollfd ready{pipeEnds[0], POLLIN, 0};
        if (poll(&ready, 1, 1000) < 0) {
            break;
        }
        const ssize_t got = ready.revents != 0 ? read(pipeEnds[0], buffer, sizeof buffer) : 0;
        if (ready.revents != 0 && got <= 0) {
            std::fprintf(stderr, "fpsGame: the game stopped after %.1f s\n", since(start));
            return 1;
        }
        const long seen = counter.add(buffer, std::size_t(got));
        if (!counting && since(start) >= warmUp) {
            counting = true;
            countStart = std::chrono::steady_clock::now();
            cpuStart = processorSeconds(game);
            continue;
        }
        if (counting) {
            frames += seen;
            const double elapsed = since(countStart);
            if (elapsed >= seconds) {
                const double cpu = processorSeconds(game) - cpuStart;
                std::fprintf(stderr,
                             "the game: %ld frames in %.2f s = %.1f frames per second, %.2f ms "
                             "processor time per frame\n",
                             frames, elapsed, double(frames) / elapsed,
                             1000.0 * cpu / double(frames));
                break;
            }
        }
    }
    kill(game, SIGTERM);
    waitpid(game, nullptr, 0);
    return 0;
}
