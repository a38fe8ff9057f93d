#!/usr/bin/env bash
# A sampled part of the link fault campaign (scripts/fault_campaign.sh): every sampled run ends with
# the exact data or a clean failure naming the unit and place.
exec bash "$(dirname "$0")/../../scripts/fault_campaign.sh" "$1" --sample "${VELORA_CAMPAIGN_SAMPLE:-13}"
