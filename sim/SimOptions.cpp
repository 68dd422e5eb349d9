#include "SimOptions.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace qv::sim {
namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& out) {
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

bool ParseRate(std::string_view text, double& out) {
  return ParseNumber(text, out) && std::isfinite(out) && out >= 0.0 && out <= 1.0;
}

}  // namespace

ParseResult ParseArguments(std::span<const std::string_view> args) {
  ParseResult r;
  SimOptions& o = r.options;
  using Setter = std::function<std::string(std::string_view)>;
  auto rate = [](double& field) -> Setter {
    return [&field](std::string_view v) { return ParseRate(v, field) ? "" : "expects a rate from 0 to 1"; };
  };
  auto text = [](std::string& field) -> Setter {
    return [&field](std::string_view v) {
      field = v;
      return field.empty() ? "expects a path" : "";
    };
  };
  const std::map<std::string_view, Setter> with_value{
      {"--seed",
       [&](std::string_view v) {
         std::uint64_t seed = 0;
         if (!ParseNumber(v, seed)) return "expects a whole number";
         o.seed = seed;
         return "";
       }},
      {"--scenario",
       [&](std::string_view v) {
         const auto s = ParseScenario(v);
         if (!s) return "expects drift, steady, sync, overpressure or practice";
         o.engine.scenario = *s;
         return "";
       }},
      {"--rpm",
       [&](std::string_view v) {
         if (!ParseNumber(v, o.engine.rpm) || o.engine.rpm < kMinRpm || o.engine.rpm > kMaxRpm) {
           return "expects an engine speed from 300 to 3000";
         }
         return "";
       }},
      {"--split",
       [&](std::string_view v) {
         if (!ParseNumber(v, o.faults.split_max) || o.faults.split_max < 1 || o.faults.split_max > 4096) {
           return "expects a largest piece size from 1 to 4096";
         }
         return "";
       }},
      {"--junk", rate(o.faults.junk)},
      {"--drop-end", rate(o.faults.drop_end)},
      {"--bad-channel", rate(o.faults.bad_channel)},
      {"--bad-count", rate(o.faults.bad_count)},
      {"--link", text(o.link)},
      {"--replay", text(o.replay)},
      {"--log", text(o.log)},
  };
  const std::map<std::string_view, bool*> flags{{"--stats", &o.stats},
                                                {"--log-times", &o.log_times},
                                                {"--help", &o.help},
                                                {"-h", &o.help},
                                                {"--version", &o.version}};

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::optional<std::string_view> value;
    if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    if (const auto f = flags.find(arg); f != flags.end()) {
      if (value) {
        r.error = "option '" + std::string(arg) + "' takes no value";
        return r;
      }
      *f->second = true;
      continue;
    }
    const auto s = with_value.find(arg);
    if (s == with_value.end()) {
      r.error = arg.starts_with("-") ? "unknown option '" + std::string(arg) + "'"
                                     : "unexpected argument '" + std::string(arg) + "'";
      return r;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        r.error = "option '" + std::string(arg) + "' needs a value";
        return r;
      }
      value = args[++i];
    }
    if (std::string problem = s->second(*value); !problem.empty()) {
      r.error = "option '" + std::string(arg) + "' " + problem + ", not '" + std::string(*value) + "'";
      return r;
    }
  }
  if (o.log_times && o.log.empty()) r.error = "option '--log-times' needs --log";
  return r;
}

std::string FormatStats(const DeviceStats& s) {
  std::string out;
  auto line = [&out](const char* name, std::uint64_t v) { out += std::string(name) + ": " + std::to_string(v) + '\n'; };
  line("commands", s.commands);
  line("maxima frames", s.maxima_frames);
  line("channel records", s.channel_frames);
  line("replay segments", s.replay_segments);
  line("junk runs", s.junk_runs);
  line("junk bytes", s.junk_bytes);
  line("frames without end", s.dropped_ends);
  line("bad channel bytes", s.bad_channels);
  line("bad counts", s.bad_counts);
  line("bytes sent", s.bytes_sent);
  line("bytes lost", s.bytes_lost);
  line("frames discarded", s.frames_discarded);
  return out;
}

}  // namespace qv::sim
