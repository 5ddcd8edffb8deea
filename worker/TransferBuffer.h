#pragma once
// The chip image shared by the main window and the workers: byte i holds chip address i. One block
// for the whole run, large enough for the largest chip, filled by reads and loaders and read by
// writes. While a worker runs it belongs to that worker.
#include <cstddef>
#include <cstdint>
#include <span>

constexpr std::size_t TransferBufferSize = 34603008; // 32 MiB + 1 MiB

std::span<uint8_t> TransferBuffer();
