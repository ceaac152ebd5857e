#pragma once
// Identifiers of the resources compiled into the program from app/*.rc.
// Plain #defines: the resource compiler reads this file too.

// The program icon; the lowest id, so that Explorer shows it for the file.
#define IDI_PROGRAM 1

// The wiring legend picture, the JPEG file itself as raw data.
#define IDR_LEGEND_JPEG 201
