#include "core/conversion_run.h"

#include <cstdio>
#include <filesystem>

#include "core/basic.h"
#include "core/basic_path.h"
#include "core/c_conv_wave.h"
#include "core/c_decode_audio.h"
#include "core/round_half_even.h"
#include "core/wave_mmio.h"

namespace sonatra {

namespace {

std::string FormatLine(const WaveInfo& from, std::int32_t rate, int bits, int channels) {
  char text[160];
  std::snprintf(text, sizeof text, "%dHz/%dbit/%dch \u21D2 %dHz/%dbit/%dch", from.SampleRate,
                from.Bits, from.Channels, rate, bits, channels);
  return text;
}

FileOutcome Wrote(const std::string& input, const std::string& output) {
  return {input, output, "", false};
}
FileOutcome Failed(const std::string& input, const std::string& reason) {
  return {input, "", reason, true};
}

}  // namespace

std::int32_t ConversionRun::Mp3BitRate(const RunSettings& settings) {
  if (settings.decodeOnly || (settings.targetMode != kMono16bit && settings.targetMode != kStereo16bit))
    return 0;
  const std::vector<int> rates = C_mp3acm::BitRatesFor(settings.targetRate, settings.targetMode);
  const int index = C_mp3acm::SelectedIndex(rates, settings.mp3BitRate);
  return index < 0 ? 0 : rates[static_cast<std::size_t>(index)];
}

void ConversionRun::Abort() {
  stopRequested_ = 1;
  if (C_DecodeAudio* decoder = decoder_.load()) decoder->StopProc();
}

void ConversionRun::Progress(float rate) {
  if (events_.progress) events_.progress(static_cast<int>(RoundHalfEven(rate * 1000.0)));
}

std::vector<FileOutcome> ConversionRun::Run(const std::vector<std::string>& files,
                                            const RunSettings& settings) {
  std::vector<FileOutcome> outcomes;
  if (files.empty() || running_) return outcomes;
  if (settings.targetRate <= 0 || settings.targetMode < 0 || settings.targetMode > 5) return outcomes;
  running_ = true;
  stopRequested_ = 0;
  const std::int32_t mp3BitRate = settings.mp3 ? Mp3BitRate(settings) : 0;

  const std::size_t rows = files.size();
  for (std::size_t i = 0; i < rows && stopRequested_ != 1; ++i) {
    if (events_.rowStarted) events_.rowStarted(static_cast<int>(i));
    ProcessInput();
    if (stopRequested_ == 1) break;
    outcomes.push_back(ConvertOne(files[i], settings, mp3BitRate));
    if (events_.progress) events_.progress(0);
  }
  Status("Done.", "");
  if (events_.progress) events_.progress(0);
  running_ = false;
  return outcomes;
}

FileOutcome ConversionRun::ConvertOne(const std::string& input, const RunSettings& settings,
                                      std::int32_t mp3BitRate) {
  if (!FileExists(input)) return Failed(input, "no such file");
  std::string current = input;
  const std::string folder = OutputFolder(settings.soundPath, input);
  const std::string base = SplitPath(input, kBase);
  auto dropTemporary = [&] {
    if (current != input) DeleteFileIfAny(current);
  };

  WaveInfo info = ReadWaveInfo(input);
  bool decodeOnly = false;
  if (info.FormatTag != 1) {
    const std::string target = MakeUniqueName(folder + "~decode.wav");
    Status("Decording...", input);
    C_DecodeAudio decoder;
    decoder.SetProg([this](float rate) {
      Progress(rate);
      ProcessInput();
    });
    decoder_ = &decoder;
    if (stopRequested_ == 1) decoder.StopProc();  // Abort came just before
    (void)decoder.DecodeAudio(input, target);
    decoder_ = nullptr;
    if (stopRequested_ == 1) {
      DeleteFileIfAny(target);
      return Failed(input, "aborted");
    }
    info = ReadWaveInfo(target);
    if (!info.Valid) {
      DeleteFileIfAny(target);
      return Failed(input, "could not be decoded");
    }
    current = target;
    decodeOnly = settings.decodeOnly;
  }

  if (!decodeOnly) {
    if (info.SampleRate != settings.targetRate || info.Mode != settings.targetMode) {
      const int bits = WaveModeBits(settings.targetMode);
      const int channels = WaveModeChannels(settings.targetMode);
      const std::string target = MakeUniqueName(folder + "~conv.wav");
      Status(FormatLine(info, settings.targetRate, bits, channels), target);
      C_ConvWave cw;
      cw.SetProg([this](float rate, std::int32_t& cancel) {
        Progress(rate);
        ProcessInput();
        cancel = stopRequested_;
      });
      const std::int32_t result =
          cw.ConvWave(current, target, settings.targetRate, static_cast<std::int16_t>(bits),
                      static_cast<std::int16_t>(channels), settings.dither ? 1 : 0, 0);
      dropTemporary();
      if (result == 0) {
        DeleteFileIfAny(target);
        return Failed(input, stopRequested_ == 1 ? "aborted" : "could not be converted");
      }
      current = target;
    }

    if (mp3BitRate > 0) {
      const std::string target = MakeUniqueName(folder + base + ".mp3");
      Status("Encoding...", target);
      mp3enc_.SetEncProg([this](float rate, std::int32_t& cancel) {
        ProcessInput();
        Progress(rate);
        cancel = stopRequested_;
        ProcessInput();
      });
      const std::int32_t result = mp3enc_.EncFromWavfile(current, target, mp3BitRate);
      dropTemporary();
      if (result == 0)
        return Failed(input, stopRequested_ == 1 ? "aborted" : "could not be encoded to MP3");
      return Wrote(input, target);
    }
  }

  const std::string target = MakeUniqueName(folder + base + ".wav");
  if (current == input) return {input, "", "already in the target format; nothing written", false};
  std::error_code error;
  std::filesystem::rename(current, target, error);
  if (error) {
    dropTemporary();
    return Failed(input, "could not be renamed to " + target + ": " + error.message());
  }
  return Wrote(input, target);
}

}  // namespace sonatra
