#!/bin/sh
# Makes the sound test files with independent tools (Debian sox 14.4.2,
# lame 3.100, ffmpeg 5.1). Run once in this folder; the files are checked in.
set -e
# PCM WAV: sine tones, mono and stereo, 8 and 16 bits.
sox -n -r 11025 -b 8 -c 1 -e unsigned-integer tone-11025-u8-mono.wav synth 0.5 sine 440 vol 0.5
sox -n -r 22050 -b 16 -c 1 tone-22050-s16-mono.wav synth 0.25 sine 660 vol 0.5
sox -n -r 22050 -b 8 -c 2 -e unsigned-integer tone-22050-u8-stereo.wav synth 0.1 sine 550 vol 0.5
sox -n -r 44100 -b 16 -c 2 tone-44100-s16-stereo.wav synth 0.05 sine 880 vol 0.5
# A WAVE_FORMAT_EXTENSIBLE header around 16-bit PCM (a mono layout other
# than the default makes ffmpeg write one).
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=11025:duration=0.2" -af "pan=FL|c0=c0" \
  -c:a pcm_s16le tone-11025-s16-extensible.wav
# Encodings and rates a movie cannot carry.
sox -n -r 22050 -b 24 -c 1 tone-22050-s24-mono.wav synth 0.02 sine 440
sox -n -r 22050 -b 32 -c 1 -e floating-point tone-22050-f32-mono.wav synth 0.02 sine 440
sox -n -r 22050 -c 1 -e ms-adpcm tone-22050-msadpcm.wav synth 0.05 sine 440
sox -n -r 22050 -c 1 -e a-law tone-22050-alaw.wav synth 0.02 sine 440
sox -n -r 48000 -b 16 -c 1 tone-48000-s16-mono.wav synth 0.02 sine 440
# MP3: constant bit rate with ID3v2 and ID3v1 tags, variable bit rate with a
# Xing header, and the MPEG-2 and MPEG-2.5 rates.
sox -n -r 44100 -b 16 -c 2 /tmp/t44.wav synth 0.3 sine 880 vol 0.5
lame --quiet -b 128 --add-id3v2 --tt "Tone" --ta "Movara tests" /tmp/t44.wav tone-44100-cbr-stereo-id3.mp3
sox -n -r 22050 -b 16 -c 1 /tmp/t22.wav synth 0.5 sine 660 vol 0.5
lame --quiet -V 5 --add-id3v2 --tt "Tone" /tmp/t22.wav tone-22050-vbr-mono-id3.mp3
for r in 48000 32000 24000 16000 12000 11025 8000; do
  sox -n -r $r -b 16 -c 1 /tmp/t$r.wav synth 0.5 sine 440 vol 0.5
  lame --quiet -b 32 --resample $(echo "scale=3; $r/1000" | bc) -t /tmp/t$r.wav tone-$r-cbr-mono.mp3
done
# MPEG audio layer II.
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.5" -c:a mp2 -b:a 64k tone-44100-layer2.mp2
# MPEG audio layer III inside a WAV file (format tag 85).
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=0.3" -c:a libmp3lame -b:a 32k \
  tone-22050-mp3-in.wav
rm -f /tmp/t44.wav /tmp/t22.wav /tmp/t[0-9]*.wav
