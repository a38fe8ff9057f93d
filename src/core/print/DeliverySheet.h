#pragma once
// The delivery sheet of a fleet production run: for whom and when, the base data set and its
// models, then one row per radio with its label, its result and the values its manifest row set,
// all taken from the run's log. velora-cli renders it as text; the application prints it or
// writes it to a PDF.
#include <ctime>
#include <string>
#include <vector>

#include "base/TextSource.h"
#include "dataset/FleetManifest.h"
#include "model/Document.h"
#include "print/PageDescription.h"

namespace velora::print {

inline constexpr int kTextDeliverySheet = 607; // Delivery sheet
inline constexpr int kTextCustomer = 608;      // Customer:
inline constexpr int kTextDate = 609;          // Date:
inline constexpr int kTextDataSet = 610;       // Data set:
inline constexpr int kTextModels = 611;        // Model:
inline constexpr int kTextRadios = 612;        // Radios:
inline constexpr int kTextPageOf = 613;        // Page %s of %s

// What the sheet says above the radios; UTF-8. An empty customer or data set leaves its lines out
// (the models go with the data set).
struct DeliveryHead {
    std::string customer;
    std::string date;
    std::string dataSet;
    std::vector<std::string> models;
};

// The base data set's file name and its models' names (two for a dual-band data set).
void describeBase(DeliveryHead& head, const Document& base);
// The date as the sheet shows it, "2026-12-08".
std::string deliveryDate(std::time_t when);

// Each radio of a log once, with the line of its last attempt (a radio that failed and was written
// when the run was resumed is delivered written), in the order the radios first appear.
std::vector<fleet::LogLine> deliveredRadios(const std::vector<fleet::LogLine>& log);

// The page size that keeps the sheet on one page with no row broken: its plain-text form.
inline constexpr double kEndless = 1e9;

// The sheet laid out for a printable area of width x height units (`landscape`: the page is
// turned). Rows are in the body's
// fixed-pitch face, so the text form lines the results and values up as the paper does; on paper a
// row's values too long for the line go on below it, and a sheet of several pages numbers them.
PageDescription deliverySheet(const DeliveryHead& head, const std::vector<fleet::LogLine>& log,
                              const TextSource& texts, double width = kEndless, double height = kEndless,
                              bool landscape = false);

} // namespace velora::print
